#pragma once
// The function texts the entry points log under, one for each entry point
// that logs (zrso_version and zrso_isSupported write nothing). Like every
// function text of the log (Log.h), they are part of the plug-in's contract.

namespace zrso {

constexpr char kPrepareDevicesFunction[] =
    "ZRSO::ResultCode zrso_prepareDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kUnprepareDevicesFunction[] =
    "ZRSO::ResultCode zrso_unprepareDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
// The per-record step of a snapshot shares it.
constexpr char kSnapDevicesFunction[] =
    "ZRSO::ResultCode zrso_snapDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kIsMappedFunction[] =
    "ZRSO::ResultCode zrso_isMapped(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kMapSnapsFunction[] =
    "ZRSO::ResultCode zrso_mapSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kUnmapSnapsFunction[] =
    "ZRSO::ResultCode zrso_unmapSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kDeleteSnapsFunction[] =
    "ZRSO::ResultCode zrso_deleteSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kRevertSnapsFunction[] =
    "ZRSO::ResultCode zrso_revertSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
constexpr char kReconcileSnapsFunction[] =
    "ZRSO::ResultCode zrso_reconcileSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";

}  // namespace zrso
