#include "SnapshotBatch.h"

#include <cstdio>
#include <ctime>
#include <string>

#include "Log.h"
#include "SnapCodes.h"
#include "SnapDetails.h"

ZRSO::ResultCode SnapshotDevice(ZRSO::SnapInfo* snapInfo) {
  // Only whether the details can be derived matters here; the snapshot time
  // and the copy id are not needed and share one holder.
  std::string share;
  std::string mountPath;
  std::string nfsServerClientName;
  std::string nfsServerHostName;
  int shareSubclientId = 0;
  std::string unused;
  if (ExtractSnapDetails(snapInfo, share, mountPath, nfsServerClientName, nfsServerHostName,
                         shareSubclientId, unused, unused) == ZRSO::RESULT_FAILURE) {
    snapInfo->setStatus(ZRSO::STATUS_SNAP_FAILED);
    return ZRSO::RESULT_FAILURE;
  }

  char snapTime[1024];
  std::snprintf(snapTime, sizeof(snapTime), "%ld", static_cast<long>(std::time(nullptr)));
  ZRSO_LOG(zrso::LOG_DETAIL, zrso::kSnapDevicesFunction, "Snap shot time [%s]", snapTime);

  if (snapInfo->setMetadata(ZRSO::SM_MDT_NFS_SNAP_TIME, snapTime) == 1) {
    ZRSO_LOG(zrso::LOG_ERROR, zrso::kSnapDevicesFunction,
             "Failed to set metadata SM_MDT_NFS_SNAP_TIME to [%s].", snapTime);
    snapInfo->setError(ZRSO::ERROR_SET_SNAP_TIME, "Failed to set metadata SM_MDT_NFS_SNAP_TIME");
    return ZRSO::RESULT_FAILURE;
  }
  snapInfo->setError(ZRSO::ERROR_NONE, "");
  snapInfo->setStatus(ZRSO::STATUS_SNAPPED);
  return ZRSO::RESULT_SUCCESS;
}
