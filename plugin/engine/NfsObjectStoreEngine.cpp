// The exported entry points. Each one guards the boundary, walks the batch,
// hands every record to its per-record step and folds the outcome.

#include "engine/NfsObjectStoreEngine.h"

#include "engine/BatchWalk.h"
#include "engine/EntryGuard.h"
#include "engine/SnapshotBatch.h"

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

// Per-record steps that are not built yet report every record as failed.
ResultCode NotBuilt(SnapInfo*) { return ZRSO::RESULT_FAILURE; }

ResultCode WalkAndFold(const char* function, SnapInfo** records, int16_t count,
                       ResultCode (*step)(SnapInfo*)) {
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
  return WalkOnly("ZRSO::ResultCode zrso_prepareDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                  records, count, ZRSO::RESULT_SUCCESS);
}

ResultCode zrso_unprepareDevices(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly("ZRSO::ResultCode zrso_unprepareDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                  records, count, ZRSO::RESULT_SUCCESS);
}

ResultCode zrso_snapDevices(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkAndFold(zrso::kSnapDevicesFunction, records, count, SnapshotDevice);
}

ResultCode zrso_isMapped(SnapInfo** records, int16_t count, ZROSUtil*) {
  static const char kFunction[] =
      "ZRSO::ResultCode zrso_isMapped(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";
  return zrso::GuardEntry(kFunction, [&] {
    zrso::WalkBatch(kFunction, records, count, NotBuilt);
    return ZRSO::RESULT_SUCCESS;
  });
}

ResultCode zrso_mapSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkAndFold("ZRSO::ResultCode zrso_mapSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                     records, count, NotBuilt);
}

ResultCode zrso_unmapSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkAndFold("ZRSO::ResultCode zrso_unmapSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                     records, count, NotBuilt);
}

ResultCode zrso_deleteSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly("ZRSO::ResultCode zrso_deleteSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                  records, count, ZRSO::RESULT_SUCCESS);
}

ResultCode zrso_revertSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly("ZRSO::ResultCode zrso_revertSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                  records, count, ZRSO::RESULT_FAILURE);
}

ResultCode zrso_reconcileSnaps(SnapInfo** records, int16_t count, ZROSUtil*) {
  return WalkOnly("ZRSO::ResultCode zrso_reconcileSnaps(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)",
                  records, count, ZRSO::RESULT_SUCCESS);
}

}  // extern "C"
