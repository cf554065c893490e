#pragma once
// Where a job's copy id waits in the platform information store until the
// job's first snapshot operation takes it: in section kCopyIdSection, under
// kCopyIdKeyPrefix followed by the job id in decimal.

inline constexpr char kCopyIdSection[] = "Ferrynode";
inline constexpr char kCopyIdKeyPrefix[] = "OBJSTORE_RESTORE_COPYID_";
