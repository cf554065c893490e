#include "CopyIdKey.h"

namespace formats {

std::string CopyIdKey(int32_t jobId) { return kCopyIdKeyPrefix + std::to_string(jobId); }

}  // namespace formats
