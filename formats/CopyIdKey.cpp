#include "CopyIdKey.h"

#include <cstdio>

namespace formats {

std::string CopyIdKey(int32_t jobId) {
  char key[64];
  std::snprintf(key, sizeof(key), "OBJSTORE_RESTORE_COPYID_%d", jobId);
  return key;
}

}  // namespace formats
