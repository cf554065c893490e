#include "SnapRecord.h"

#include "host/SnapCodes.h"

namespace snaphost {

const char* StatusMeaning(int status) {
  switch (status) {
    case 0: return "none";
    case ZRSO::STATUS_SNAPPED: return "snapped";
    case ZRSO::STATUS_SNAP_FAILED: return "snap failed";
    case ZRSO::STATUS_VIEW_EXISTS: return "view exists";
    case ZRSO::STATUS_MAP_FAILED: return "map failed";
    case ZRSO::STATUS_MAPPED: return "mapped";
    case ZRSO::STATUS_UNMAPPED: return "unmapped";
    case ZRSO::STATUS_UNMAP_FAILED: return "unmap failed";
    default: return "unknown";
  }
}

std::string EscapeDescriptor(const std::string& plain) {
  std::string escaped;
  escaped.reserve(plain.size() + 8);
  for (char c : plain) {
    if (c == '/') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string UnescapeDescriptor(const std::string& escaped) {
  std::string plain;
  plain.reserve(escaped.size());
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '\\' && i + 1 < escaped.size() && escaped[i + 1] == '/') continue;
    plain += escaped[i];
  }
  return plain;
}

}  // namespace snaphost
