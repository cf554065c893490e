#pragma once
// What a snapshot's point-in-time view is called and where it is mounted.

#include <cstdint>
#include <string>

namespace formats {

// The snapshot's UUID, "_" and its snapshot number in signed decimal.
inline std::string ViewName(const std::string& snapUuid, int32_t snapNumber) {
  return snapUuid + "_" + std::to_string(snapNumber);
}

// "/" share "-" view name, as the view record's MntPath and the snap device's
// lunuuid hold it.
inline std::string ViewMountPath(const std::string& share, const std::string& viewName) {
  return "/" + share + "-" + viewName;
}

}  // namespace formats
