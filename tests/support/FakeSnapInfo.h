#pragma once
// A snapshot record double: every value the plug-in reads can be set, every
// write is kept and told in order to `onWrite`, and each operation can be
// made to fail.

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "SnapInfo.h"

namespace testsupport {

class FakeSnapInfo : public ZRSO::SnapInfo {
 public:
  // What the record hands out.
  std::optional<std::string> arrayInfo;     // nullopt: getArrayInfo writes nothing
  std::vector<std::string> acceptedArrays;  // names findArray accepts
  std::optional<std::string> sourceDevice;  // nullopt: getSourceDevicev2 fails
  std::string snapDevice;                   // as the host hands it out
  std::map<int, std::string> metadata;
  std::optional<std::string> uuid = std::string("uuid-1");
  int snapNumber = 1;
  std::optional<int> jobId;
  std::string hostIdentifier;
  std::string mountHostName;
  bool refuseMetadata = false;
  // A misbehaving host: writes this into getMetadata's capacity argument.
  std::optional<int16_t> capacityWrittenBack;
  // A misbehaving host: getMetadata fills capacity + 1 bytes with 'x' and
  // writes no terminator.
  bool fillWholeBuffer = false;
  // A host that copies the metadata text without its terminator.
  bool unterminated = false;

  // What the plug-in wrote.
  std::optional<int> status;
  std::optional<int> errorCode;
  std::string errorText;
  std::vector<std::string> offeredArrays;
  std::vector<int16_t> capacitiesSeen;
  int16_t arrayLengthSeen = 0;
  // Hears each write as the call reads, for example "setStatus(11)".
  std::function<void(const std::string& call)> onWrite;

  void getArrayInfo(char* buffer, int16_t& length) override {
    arrayLengthSeen = length;
    if (!arrayInfo) return;
    size_t count = std::min(arrayInfo->size(), static_cast<size_t>(length));
    std::memcpy(buffer, arrayInfo->data(), count);
    buffer[count] = '\0';
  }
  int findArray(const char* name) override {
    offeredArrays.emplace_back(name);
    return std::count(acceptedArrays.begin(), acceptedArrays.end(), name) > 0 ? 0 : 1;
  }
  void setStatus(int value) override {
    status = value;
    Wrote("setStatus(" + std::to_string(value) + ")");
  }
  void setSnapDevice(const char* descriptor) override {
    Wrote("setSnapDevice(" + std::string(descriptor) + ")");
  }
  int getMetadata(int id, char* buffer, int16_t& capacity) override {
    capacitiesSeen.push_back(capacity);
    int16_t given = capacity;
    if (capacityWrittenBack) capacity = *capacityWrittenBack;
    if (fillWholeBuffer) {
      std::memset(buffer, 'x', static_cast<size_t>(given) + 1);
      return 0;
    }
    auto found = metadata.find(id);
    if (found == metadata.end()) return 1;
    size_t count = std::min(found->second.size(), static_cast<size_t>(given));
    std::memcpy(buffer, found->second.data(), count);
    if (!unterminated) buffer[count] = '\0';
    return 0;
  }
  int setMetadata(int id, const char* text) override {
    Wrote("setMetadata(" + std::to_string(id) + ", " + text + (refuseMetadata ? ") refused" : ")"));
    if (refuseMetadata) return 1;
    metadata[id] = text;
    return 0;
  }
  void setError(int code, const char* text) override {
    errorCode = code;
    errorText = text;
    Wrote("setError(" + std::to_string(code) + ", \"" + text + "\")");
  }
  int getSnapNumber() override { return snapNumber; }
  int getValue(int key, int* value) override {
    if (key != ZRSO::GET_VALUE_CURRENT_JOB_ID || !jobId) return 1;
    *value = *jobId;
    return 0;
  }
  bool getSnapUUID2(std::string& out) override {
    if (uuid) out = *uuid;
    return uuid.has_value();
  }
  void getHostIdentifier(std::string& out) override { out = hostIdentifier; }
  bool getSourceDevicev2(std::string& out) override {
    if (sourceDevice) out = *sourceDevice;
    return sourceDevice.has_value();
  }
  bool getSnapDevice(std::string& out) override {
    out = snapDevice;
    return !out.empty();
  }
  void getMountHostName(std::string& out) override { out = mountHostName; }

 private:
  void Wrote(const std::string& call) {
    if (onWrite) onWrite(call);
  }
};

}  // namespace testsupport
