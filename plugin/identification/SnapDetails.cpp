#include "SnapDetails.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CopyIdKey.h"
#include "DeviceDescriptor.h"
#include "DeviceDescriptorFormat.h"
#include "Log.h"
#include "NfsShareLookup.h"
#include "SnapCodes.h"
#include "ZrLib.h"

namespace {

const char kFunction[] =
    "ZRSO::ResultCode ExtractSnapDetails(ZRSO::SnapInfo*, std::string&, std::string&, "
    "std::string&, std::string&, int&, std::string&, std::string&)";

// The one work buffer for metadata texts and numbers.
constexpr size_t kBufferSize = 1024;
constexpr int16_t kMetadataCapacity = kBufferSize - 1;

// Reads metadata `id` into `buffer`. The capacity is set afresh for every
// read, so a host that writes a length back into it can neither shrink a
// later read nor make one overrun the buffer, and the text is terminated
// whatever the host left in the last byte. True when the record has it.
bool ReadMetadata(ZRSO::SnapInfo* snapInfo, int id, char (&buffer)[kBufferSize]) {
  std::memset(buffer, 0, sizeof(buffer));
  int16_t capacity = kMetadataCapacity;
  int rc = snapInfo->getMetadata(id, buffer, capacity);
  buffer[kBufferSize - 1] = '\0';
  return rc == 0;
}

// The share name in a source device's lunuuid value: the two characters of
// the escaped leading slash dropped, then cut before the first escaped
// slash, or, only when there is none, before the first plain one.
void CutShareName(std::string& share) {
  share.erase(0, 2);
  size_t cut = share.find("\\/");
  if (cut == std::string::npos) cut = share.find('/');
  if (cut != std::string::npos) share.erase(cut);
}

// The current job's copy id, consumed: the store entry is removed once read.
// Without a job id there is no entry to look for.
void TakeCopyId(ZRSO::SnapInfo* snapInfo, char (&buffer)[kBufferSize], std::string& copyId) {
  int jobId = 0;
  if (snapInfo->getValue(ZRSO::GET_VALUE_CURRENT_JOB_ID, &jobId) == 1) {
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "JOB ID not present.");
    return;
  }
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "JOB ID [%d]", jobId);

  ZRPlatformInfo platformInfo;
  uint64_t number = 0;
  const std::string key = formats::CopyIdKey(jobId);
  if (platformInfo.getNumber(formats::kCopyIdSection, key, number) == 0) {
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Copy ID not present.");
    return;
  }
  platformInfo.deleteField(formats::kCopyIdSection, key);
  // The copy id is the low 32 bits of the stored number, read as signed.
  std::snprintf(buffer, kBufferSize, "%d", static_cast<int32_t>(static_cast<uint32_t>(number)));
  copyId = buffer;
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Copy ID [%s]", copyId.c_str());
}

}  // namespace

ZRSO::ResultCode ExtractSnapDetails(ZRSO::SnapInfo* snapInfo, std::string& share,
                                    std::string& mountPath, std::string& nfsServerClientName,
                                    std::string& nfsServerHostName, int& shareSubclientId,
                                    std::string& snapTime, std::string& copyId) {
  char buffer[kBufferSize];

  std::string sourceDevice;
  if (!snapInfo->getSourceDevicev2(sourceDevice)) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "getSourceDevicev2() returned empty srcDevice");
    snapInfo->setError(ZRSO::ERROR_NO_SOURCE_DEVICE, "Cant get source device.");
    return ZRSO::RESULT_FAILURE;
  }

  if (!GetJsonVal(sourceDevice, formats::kLunUuidKey, share)) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "NFS share not found in source device [%s]",
             sourceDevice.c_str());
    snapInfo->setError(ZRSO::ERROR_NO_SOURCE_DEVICE, "lunuuid not presentin device name");
    return ZRSO::RESULT_FAILURE;
  }
  if (share.size() < 3) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "objectStore name [%s] name too short.", share.c_str());
    snapInfo->setError(ZRSO::ERROR_SHARE_NAME_SHORT, "objectStore name too short.");
    return ZRSO::RESULT_FAILURE;
  }
  CutShareName(share);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "NFS share [%s]", share.c_str());

  if (ReadMetadata(snapInfo, ZRSO::SM_MDT_NFS_SNAP_TIME, buffer)) {
    ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "Snap shot time [%s]", buffer);
    snapTime = buffer;
  }
  if (ReadMetadata(snapInfo, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID, buffer)) {
    ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "Share SubclientId [%s]", buffer);
    // Leading decimal digits with an optional sign, 0 without any; the
    // conversion keeps the low 32 bits of a longer number, as atoi does here.
    if (buffer[0] != '\0') shareSubclientId = static_cast<int>(std::strtol(buffer, nullptr, 10));
  }

  if (!GetJsonVal(sourceDevice, formats::kTargetHostNameKey, nfsServerHostName)) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "NFS server not found in source device [%s]",
             sourceDevice.c_str());
    snapInfo->setError(ZRSO::ERROR_NFS_SERVER_HOST, "Cannot get NFS server hostname from device.");
    return ZRSO::RESULT_FAILURE;
  }
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "NFS server [%s]", nfsServerHostName.c_str());

  std::string lookupError;
  int32_t lookup =
      FindNfsShare(share, nfsServerHostName, nfsServerClientName, shareSubclientId, lookupError);
  if (lookup != 0) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "[%s] is not exported by NFS server [%s]", share.c_str(),
             nfsServerHostName.c_str());
    snapInfo->setError(lookup, lookupError.c_str());
    return ZRSO::RESULT_FAILURE;
  }

  // A failed write of the identifier is not reported.
  std::snprintf(buffer, sizeof(buffer), "%d", shareSubclientId);
  snapInfo->setMetadata(ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID, buffer);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "NfsServerClientName [%s] NfsServerHostName [%s]",
           nfsServerClientName.c_str(), nfsServerHostName.c_str());

  // The host gives the stored mount path back with one character in front
  // (the backslash of its escaped leading slash). A snap device without a
  // lunuuid value has no mount path: the empty one matches no stored view.
  snapInfo->getSnapDevice(mountPath);
  if (!mountPath.empty()) {
    std::string lunuuid;
    GetJsonVal(mountPath, formats::kLunUuidKey, lunuuid);
    mountPath = lunuuid.empty() ? std::string() : lunuuid.substr(1);
  }

  TakeCopyId(snapInfo, buffer, copyId);
  return ZRSO::RESULT_SUCCESS;
}
