#pragma once
// Reading device descriptors, the brace-delimited key:value texts in which
// the host describes a record's source device and snap device (the format:
// DeviceDescriptorFormat.h).

#include <string>

#include "PluginExport.h"

// The value of `key` in `descriptor`, as formats::DescriptorValue reads it:
// true with the value in `value`; false, with `value` left as the caller put
// it, when there is no such entry or its value is not terminated.
ZRSO_EXPORT bool GetJsonVal(const std::string& descriptor, const std::string& key,
                            std::string& value);
