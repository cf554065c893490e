#pragma once
// Where the platform information store keeps the copy id of a job's
// snapshots: section kCopyIdSection, key CopyIdKey(job id). The entry is set
// outside the plug-in and consumed by the job's first snapshot operation.

#include <cstdint>
#include <string>

namespace formats {

constexpr char kCopyIdSection[] = "Ferrynode";
// Every copy-id key starts with it; the job id follows.
constexpr char kCopyIdKeyPrefix[] = "OBJSTORE_RESTORE_COPYID_";

// kCopyIdKeyPrefix and the job id in signed decimal.
std::string CopyIdKey(int32_t jobId);

}  // namespace formats
