#include "identification/DeviceDescriptor.h"

bool GetJsonVal(const std::string& descriptor, const std::string& key, std::string& value) {
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
