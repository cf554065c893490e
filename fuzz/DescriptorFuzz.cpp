// Fuzzes the device descriptor reader. Input: one byte giving the key's
// length, the key, then the descriptor. Checks, beyond the absence of any
// crash or sanitizer report:
//  - a value is found only after "{key:" or ",key:", the brace form first,
//    and ends at a ',' or, only when no ',' follows, at a '}';
//  - without a value the output is left exactly as it was;
//  - a descriptor written as the plug-in writes snap devices reads back.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "DeviceDescriptor.h"
#include "DeviceDescriptorFormat.h"
#include "FuzzProperty.h"

namespace {

void CheckRead(const std::string& descriptor, const std::string& key) {
  static const std::string kSentinel = "\x01sentinel";
  std::string value = kSentinel;
  bool found = GetJsonVal(descriptor, key, value);

  size_t brace = descriptor.find("{" + key + ":");
  size_t comma = descriptor.find("," + key + ":");
  if (brace == std::string::npos && comma == std::string::npos) Require(!found);
  if (!found) {
    Require(value == kSentinel);
    return;
  }
  size_t start = (brace != std::string::npos ? brace : comma) + key.size() + 2;
  Require(descriptor.compare(start, value.size(), value) == 0);
  Require(value.find(',') == std::string::npos);
  size_t end = start + value.size();
  Require(end < descriptor.size());
  if (descriptor[end] == '}') {
    Require(descriptor.find(',', start) == std::string::npos);
    Require(value.find('}') == std::string::npos);
  } else {
    Require(descriptor[end] == ',');
  }
}

// Values without ',', '{' or '}' in the form the plug-in writes.
void CheckRoundTrip(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(),
                            [](char c) { return c == ',' || c == '{' || c == '}'; }),
             text.end());
  const std::string mountPath = text.substr(0, text.size() / 2),
                    server = text.substr(text.size() / 2);
  std::string descriptor = formats::NfsDeviceDescriptor(mountPath, server);
  std::string value;
  Require(GetJsonVal(descriptor, "lunuuid", value) && value == mountPath);
  Require(GetJsonVal(descriptor, "targethostname", value) && value == server);
  Require(GetJsonVal(descriptor, "type", value) && value == "nfs");
  Require(GetJsonVal(descriptor, "orutype", value) && value.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t keyLength = std::min<size_t>(data[0] % 32, size - 1);
  std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
  std::string descriptor(reinterpret_cast<const char*>(data + 1 + keyLength), size - 1 - keyLength);

  CheckRead(descriptor, key);
  for (const char* fixed : {"lunuuid", "targethostname", "type", "orutype"})
    CheckRead(descriptor, fixed);
  CheckRoundTrip(descriptor);
  return 0;
}
