#include "CheckAndUnmap.h"

#include <string>

#include "Log.h"
#include "PITViewArgs.h"
#include "SnapCodes.h"
#include "SnapDetails.h"
#include "ViewCatalogue.h"

namespace {

// Both steps need only the share, its subclient and the mount path. One
// scratch text takes the other four outputs, so the share lookup starts from
// the server's host name as its known client name.
template <typename Args>
ZRSO::ResultCode ExtractViewKey(ZRSO::SnapInfo* snapInfo, Args& args) {
  std::string scratch;
  return ExtractSnapDetails(snapInfo, args.shareName, args.mntPath, scratch, scratch,
                            args.shareSubclientId, scratch, scratch);
}

}  // namespace

ZRSO::ResultCode IsMapped(ZRSO::SnapInfo* snapInfo, ZRSO::ZROSUtil*) {
  static const char kFunction[] = "ZRSO::ResultCode IsMapped(ZRSO::SnapInfo*, ZRSO::ZROSUtil*)";
  CheckPITViewArgs args;
  if (ExtractViewKey(snapInfo, args) == ZRSO::RESULT_FAILURE) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to extract snap details..");
    return ZRSO::RESULT_FAILURE;
  }
  bool found = false;
  std::string error;
  int result = CheckPITView(args, found, error);
  if (result != 0) {
    snapInfo->setError(result, error.c_str());
    return ZRSO::RESULT_FAILURE;
  }
  if (found) snapInfo->setStatus(ZRSO::STATUS_VIEW_EXISTS);
  return ZRSO::RESULT_SUCCESS;
}

ZRSO::ResultCode UnMapSnap(ZRSO::SnapInfo* snapInfo, ZRSO::ZROSUtil*) {
  static const char kFunction[] = "ZRSO::ResultCode UnMapSnap(ZRSO::SnapInfo*, ZRSO::ZROSUtil*)";
  DeletePITViewArgs args;
  if (ExtractViewKey(snapInfo, args) == ZRSO::RESULT_FAILURE) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to extract snap details..");
    snapInfo->setStatus(ZRSO::STATUS_UNMAP_FAILED);
    return ZRSO::RESULT_FAILURE;
  }
  std::string error;
  int result = DeletePITView(args, error);
  if (result != 0) {
    snapInfo->setError(result, error.c_str());
    snapInfo->setStatus(ZRSO::STATUS_UNMAP_FAILED);
    return ZRSO::RESULT_FAILURE;
  }
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Successfully delete PITView [%s]", args.mntPath.c_str());
  snapInfo->setStatus(ZRSO::STATUS_UNMAPPED);
  return ZRSO::RESULT_SUCCESS;
}
