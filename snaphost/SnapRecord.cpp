#include "SnapRecord.h"

namespace snaphost {

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
