// The exported entry points. Each one guards the boundary, walks the batch,
// hands every record to its per-record step and folds the outcome.

#include "BatchWalk.h"
#include "CheckAndUnmap.h"
#include "EntryGuard.h"
#include "EntryPointTexts.h"
#include "EntryPoints.h"
#include "LuUtils.h"
#include "MapSnap.h"
#include "SnapshotBatch.h"

using ZRSO::ResultCode;
using ZRSO::SnapInfo;
using ZRSO::ZROSUtil;

namespace {

// The entry points that accept a batch and do no work on it.
ResultCode WalkOnly(const char* function, SnapInfo** records, int16_t count, ResultCode result) {
  return zrso::GuardEntry(function, [&] {
    zrso::WalkBatch(function, records, count, [](SnapInfo*) { return ZRSO::RESULT_SUCCESS; });
    return result;
  });
}

template <typename Step>
ResultCode WalkAndFold(const char* function, SnapInfo** records, int16_t count, Step step) {
  return zrso::GuardEntry(function, [&] {
    return zrso::FoldBatchResult(zrso::WalkBatch(function, records, count, step), count);
  });
}

}  // namespace

extern "C" {

void zrso_version(uint16_t* major, uint16_t* minor, uint16_t* patch) {
  if (major != nullptr) *major = 1;
  if (minor != nullptr) *minor = 0;
  if (patch != nullptr) *patch = 0;
}

int zrso_isSupported(void*, int32_t, void*, void*, int16_t) { return 1; }

ResultCode zrso_prepareDevices(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly(zrso::kPrepareDevicesFunction, records, count, ZRSO::RESULT_SUCCESS);
}

ResultCode zrso_unprepareDevices(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly(zrso::kUnprepareDevicesFunction, records, count, ZRSO::RESULT_SUCCESS);
}

ResultCode zrso_snapDevices(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkAndFold(zrso::kSnapDevicesFunction, records, count, SnapshotDevice);
}

ResultCode zrso_isMapped(SnapInfo** records, int16_t count, ZROSUtil* util) {
  return zrso::GuardEntry(zrso::kIsMappedFunction, [&] {
    // Each record reports through itself; the batch result never tells.
    zrso::WalkBatch(zrso::kIsMappedFunction, records, count,
                    [util](SnapInfo* record) { return IsMapped(record, util); });
    return ZRSO::RESULT_SUCCESS;
  });
}

ResultCode zrso_mapSnaps(SnapInfo** records, int16_t count, ZROSUtil* util) {
  return zrso::GuardEntry(zrso::kMapSnapsFunction, [&] {
    zrso::LogBatchCount(zrso::kMapSnapsFunction, count);
    CLuString localHost;
    CLuError error = CLuIPAddr::GetLocalHost(localHost);
    if (error.IsError()) {
      ZRSO_LOG(zrso::LOG_ERROR, zrso::kMapSnapsFunction, "Failed to get hostname [%s]",
               error.AsString());
      return ZRSO::RESULT_FAILURE;
    }
    int16_t successes = zrso::WalkRecords(records, count, [&](SnapInfo* record) {
      return MapSnap(record, util, std::string(localHost.c_str()));
    });
    return zrso::FoldBatchResult(successes, count);
  });
}

ResultCode zrso_unmapSnaps(SnapInfo** records, int16_t count, ZROSUtil* util) {
  return WalkAndFold(zrso::kUnmapSnapsFunction, records, count,
                     [util](SnapInfo* record) { return UnMapSnap(record, util); });
}

ResultCode zrso_deleteSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly(zrso::kDeleteSnapsFunction, records, count, ZRSO::RESULT_SUCCESS);
}

ResultCode zrso_revertSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly(zrso::kRevertSnapsFunction, records, count, ZRSO::RESULT_FAILURE);
}

ResultCode zrso_reconcileSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly(zrso::kReconcileSnapsFunction, records, count, ZRSO::RESULT_SUCCESS);
}

}  // extern "C"
