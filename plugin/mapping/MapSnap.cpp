#include "MapSnap.h"

#include "DeviceDescriptorFormat.h"
#include "Log.h"
#include "MountPath.h"
#include "NfsServerControl.h"
#include "PITViewArgs.h"
#include "SnapCodes.h"
#include "SnapDetails.h"
#include "SnapViewRecord.h"
#include "ViewCatalogue.h"

namespace {

constexpr char kFunction[] =
    "ZRSO::ResultCode MapSnap(ZRSO::SnapInfo*, ZRSO::ZROSUtil*, const string&)";

ZRSO::ResultCode Fail(ZRSO::SnapInfo* snapInfo, int code, const char* text) {
  snapInfo->setError(code, text);
  snapInfo->setStatus(ZRSO::STATUS_MAP_FAILED);
  return ZRSO::RESULT_FAILURE;
}

}  // namespace

ZRSO::ResultCode MapSnap(ZRSO::SnapInfo* snapInfo, ZRSO::ZROSUtil*,
                         const std::string& localHostName) {
  CreatePITViewArgs args;
  std::string unusedMountPath;
  if (ExtractSnapDetails(snapInfo, args.shareName, unusedMountPath, args.nfsServerClientName,
                         args.nfsServerHostName, args.shareSubclientId, args.toTime,
                         args.copyPrecedence) == ZRSO::RESULT_FAILURE) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to extract snap details..");
    snapInfo->setStatus(ZRSO::STATUS_MAP_FAILED);
    return ZRSO::RESULT_FAILURE;
  }
  if (args.toTime.empty()) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction,
             "Snap shot time not present in snap device. It means snap operation did not succeed.");
    return Fail(snapInfo, ZRSO::ERROR_NO_SNAP_TIME, "Failed to Snapshot creation time.");
  }
  if (!snapInfo->getSnapUUID2(args.snapName)) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to get Snap UUID.");
    return Fail(snapInfo, ZRSO::ERROR_SNAP_UUID, "getSnapUUID2() failed.");
  }
  args.snapName = formats::ViewName(args.snapName, snapInfo->getSnapNumber());
  args.mntPath = formats::ViewMountPath(args.shareName, args.snapName);
  args.nfsClient = localHostName;

  std::string error;
  bool appended = false;
  int32_t created = CreatePITView(args, error, appended);
  if (created != 0) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to create PITView.");
    return Fail(snapInfo, created, error.c_str());
  }

  std::string text;
  // The identifier travels sign-extended, as every caller of the service passes it.
  unsigned long subclientId = static_cast<unsigned long>(static_cast<long>(args.shareSubclientId));
  if (!SendCommandToNfsServer(args.nfsServerClientName, EXPORT_TYPE_PIT_VIEW, OPERATION_ADD,
                              subclientId, args.mntPath, text)) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to send export command to NFS server..");
    Fail(snapInfo, ZRSO::ERROR_EXPORT_COMMAND, "Failed to send export command to NFS server.");
    // Only a view this mapping added is taken back: one listed before belongs
    // to an earlier mapping whose export still stands.
    if (appended) {
      DeletePITViewArgs rollBack(args.shareName, args.mntPath, args.shareSubclientId);
      DeletePITView(rollBack, text);
    }
    return ZRSO::RESULT_FAILURE;
  }

  std::string descriptor = formats::NfsDeviceDescriptor(args.mntPath, args.nfsServerHostName);
  snapInfo->setSnapDevice(descriptor.c_str());
  snapInfo->setError(ZRSO::ERROR_NONE, "");
  snapInfo->setStatus(ZRSO::STATUS_MAPPED);
  return ZRSO::RESULT_SUCCESS;
}
