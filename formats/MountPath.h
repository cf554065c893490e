#pragma once
// Where a snapshot's point-in-time view is mounted.

#include <string>

namespace formats {

// "/" share "-" view name, as the view record's MntPath and the snap device's
// lunuuid hold it.
inline std::string ViewMountPath(const std::string& share, const std::string& viewName) {
  return "/" + share + "-" + viewName;
}

}  // namespace formats
