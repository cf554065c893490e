#include "DeviceDescriptor.h"

#include "DeviceDescriptorFormat.h"

bool GetJsonVal(const std::string& descriptor, const std::string& key, std::string& value) {
  return formats::DescriptorValue(descriptor, key, value);
}
