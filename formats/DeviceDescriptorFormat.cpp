#include "DeviceDescriptorFormat.h"

namespace formats {

std::string NfsDeviceDescriptor(const std::string& lunUuid, const std::string& targetHostName) {
  return std::string("{orutype:,type:nfs,") + kLunUuidKey + ":" + lunUuid + "," +
         kTargetHostNameKey + ":" + targetHostName + "}";
}

bool DescriptorValue(const std::string& descriptor, const std::string& key, std::string& value) {
  // Plain substring search on purpose: the descriptor is not JSON, and a key
  // counts only with '{' or ',' right before it and ':' right after it.
  size_t found = descriptor.find("{" + key + ":");
  if (found == std::string::npos) found = descriptor.find("," + key + ":");
  if (found == std::string::npos) return false;

  size_t start = found + key.size() + 2;
  size_t end = descriptor.find(',', start);
  if (end == std::string::npos) end = descriptor.find('}', start);
  if (end == std::string::npos) return false;

  value = descriptor.substr(start, end - start);
  return true;
}

std::string EscapeSlashes(const std::string& plain) {
  std::string escaped;
  escaped.reserve(plain.size() + 8);
  for (char c : plain) {
    if (c == '/') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string UnescapeSlashes(const std::string& escaped) {
  std::string plain;
  plain.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '\\' && i + 1 < escaped.size() && escaped[i + 1] == '/') continue;
    plain += escaped[i];
  }
  return plain;
}

}  // namespace formats
