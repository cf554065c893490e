// Fuzzes the whole snap details extraction: the record's source device,
// snap device, metadata, job id and host behaviour come from the input,
// against a record double and a local platform holding one share. Checks,
// beyond the absence of any crash or sanitizer report:
//  - the result is 0 or 1, and 1 comes with one of the documented error
//    codes and its text, 0 with no error set;
//  - on success every output holds the configured share's facts, metadata
//    147 holds its subclient id, and the copy id was taken if there was one;
//  - on failure the mount path and copy id are untouched and the copy-id
//    entry is still in the store;
//  - every metadata read is offered 1023 bytes, whatever the host does.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "CopyIdKey.h"
#include "FuzzProperty.h"
#include "SnapCodes.h"
#include "SnapDetails.h"
#include "ZrLib.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

constexpr char kShare[] = "share1";
constexpr char kClient[] = "fuzz-client";
constexpr int kSubclientId = 42;

testsupport::CapturingLogWriter& Log() {
  static testsupport::ScopedCapture capture(4);  // every message is formatted
  return *capture;
}

const std::set<std::pair<int, std::string>> kErrors = {
    {61002, "Cant get source device."},
    {61002, "lunuuid not presentin device name"},
    {83002, "objectStore name too short."},
    {83005, "Failed to get list of configured NFS shares."},
    {83006, "NFS Share not found in KT DB."},
    {83007, "Cannot get NFS server hostname from device."}};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static testsupport::TempPlatform platform(testsupport::StoreKind::kMemory);
  Log();
  // The client's host name is an address, so nothing ever reaches a name
  // server; the extraction is always given the client name.
  platform.store().PutClient({kClient, "127.0.0.1"});
  platform.store().AddShare({kShare, kClient, kSubclientId});
  platform.store().AddShare({"big", kClient, (int64_t{1} << 32) + kSubclientId});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string source = input.ConsumeRandomLengthString(512);
  const std::string snapDevice = input.ConsumeRandomLengthString(512);
  const std::string snapTime = input.ConsumeRandomLengthString(2048);
  const std::string subclientText = input.ConsumeRandomLengthString(64);
  const uint8_t flags = input.ConsumeIntegral<uint8_t>();
  const int jobId = input.ConsumeIntegral<int32_t>();
  const uint64_t copyId = input.ConsumeIntegral<uint64_t>();
  const int16_t capacityBack = input.ConsumeIntegral<int16_t>();

  const testsupport::ClearedAtEnd cleared(Log());
  testsupport::FakeSnapInfo record;
  if (flags & 0x01) record.sourceDevice = source;
  if (flags & 0x02) record.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = snapTime;
  if (flags & 0x04) record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = subclientText;
  if (flags & 0x08) record.jobId = jobId;
  if (flags & 0x20) record.capacityWrittenBack = capacityBack;
  record.fillWholeBuffer = (flags & 0xC0) == 0xC0;
  record.snapDevice = snapDevice;
  const bool entrySet = (flags & 0x10) != 0;
  const std::string copyIdKey = formats::CopyIdKey(jobId);
  if (entrySet) ZRPlatformInfo().setNumber(formats::kCopyIdSection, copyIdKey, copyId);
  const std::map<int, std::string> metadataBefore = record.metadata;

  std::string share = "share?", mountPath = "mount?", clientName = kClient, hostName = "host?";
  std::string time = "time?", copy = "copy?";
  int subclientId = -7;
  ZRSO::ResultCode result =
      ExtractSnapDetails(&record, share, mountPath, clientName, hostName, subclientId, time, copy);

  uint64_t left = 0;
  const bool entryLeft = ZRPlatformInfo().getNumber(formats::kCopyIdSection, copyIdKey, left) != 0;
  ZRPlatformInfo().deleteField(formats::kCopyIdSection, copyIdKey);

  Require(record.capacitiesSeen.size() <= 2 && !record.status);
  for (int16_t capacity : record.capacitiesSeen) Require(capacity == 1023);
  if (result == ZRSO::RESULT_FAILURE) {
    Require(record.errorCode && kErrors.count({*record.errorCode, record.errorText}) == 1);
    Require(mountPath == "mount?" && copy == "copy?" && record.metadata == metadataBefore);
    Require(entryLeft == entrySet);
    return 0;
  }
  Require(result == ZRSO::RESULT_SUCCESS && !record.errorCode);
  Require(share == kShare && clientName == kClient && subclientId == kSubclientId);
  Require(record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] == std::to_string(kSubclientId));
  Require(source.find("targethostname:" + hostName) != std::string::npos);
  Require(mountPath.empty() || snapDevice.find(mountPath) != std::string::npos);
  Require(mountPath.find(',') == std::string::npos);
  // A metadata text as read: up to its first NUL, at most 1023 bytes.
  const std::string read =
      snapTime.substr(0, std::min(std::strlen(snapTime.c_str()), size_t{1023}));
  Require(time == (record.fillWholeBuffer ? std::string(1023, 'x')
                   : (flags & 0x02)       ? read
                                          : "time?"));
  const bool taken = (flags & 0x08) && entrySet;
  const std::string taker = std::to_string(static_cast<int32_t>(static_cast<uint32_t>(copyId)));
  Require(entryLeft == (entrySet && !taken) && copy == (taken ? taker : "copy?"));
  return 0;
}
