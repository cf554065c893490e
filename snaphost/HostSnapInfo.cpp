#include "HostSnapInfo.h"

#include <algorithm>
#include <cstring>

#include "DeviceDescriptorFormat.h"

namespace snaphost {
namespace {

// Copies at most `limit` characters and terminates them.
void CopyTerminated(const std::string& text, char* buffer, int16_t limit) {
  if (buffer == nullptr || limit < 0) return;
  size_t count = std::min(text.size(), static_cast<size_t>(limit));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
}

}  // namespace

void HostSnapInfo::getArrayInfo(char* buffer, int16_t& length) {
  CopyTerminated(record_.arrayName, buffer, length);
}

int HostSnapInfo::findArray(const char* name) {
  return name != nullptr && !record_.arrayName.empty() && record_.arrayName == name ? 0 : 1;
}

void HostSnapInfo::setStatus(int status) { record_.status = status; }

void HostSnapInfo::setSnapDevice(const char* descriptor) {
  record_.snapDevice = descriptor != nullptr ? descriptor : "";
}

int HostSnapInfo::getMetadata(int id, char* buffer, int16_t& capacity) {
  auto found = record_.metadata.find(id);
  if (found == record_.metadata.end()) return 1;
  CopyTerminated(found->second, buffer, capacity);  // capacity stays as given
  return 0;
}

int HostSnapInfo::setMetadata(int id, const char* text) {
  if (text == nullptr) return 1;
  record_.metadata[id] = text;
  return 0;
}

void HostSnapInfo::setError(int code, const char* text) {
  record_.errorCode = code;
  record_.errorText = text != nullptr ? text : "";
}

int HostSnapInfo::getSnapNumber() { return record_.snapNumber; }

int HostSnapInfo::getValue(int key, int* value) {
  if (key != ZRSO::GET_VALUE_CURRENT_JOB_ID || !record_.jobId || value == nullptr) return 1;
  *value = *record_.jobId;
  return 0;
}

bool HostSnapInfo::getSnapUUID2(std::string& uuid) {
  if (record_.id.empty()) return false;
  uuid = record_.id;
  return true;
}

void HostSnapInfo::getHostIdentifier(std::string& identifier) {
  identifier = record_.hostIdentifier;
}

bool HostSnapInfo::getSourceDevicev2(std::string& descriptor) {
  if (onSourceDeviceRead_) onSourceDeviceRead_();
  if (record_.sourceDevice.empty()) return false;
  descriptor = formats::EscapeSlashes(record_.sourceDevice);
  return true;
}

bool HostSnapInfo::getSnapDevice(std::string& descriptor) {
  descriptor = formats::EscapeSlashes(record_.snapDevice);
  return !descriptor.empty();
}

void HostSnapInfo::getMountHostName(std::string& hostName) { hostName = record_.mountHostName; }

}  // namespace snaphost
