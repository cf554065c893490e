#include "JsonText.h"

#include <cstdio>

namespace snaphost {
namespace {

// Length of the valid UTF-8 sequence at text[at], or 0 when there is none.
size_t Utf8Length(const std::string& text, size_t at) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  auto continuation = [&](size_t i) { return i < text.size() && (byte(i) & 0xC0) == 0x80; };
  unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(at + 1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(at + 1) || !continuation(at + 2)) return 0;
    if (lead == 0xE0 && byte(at + 1) < 0xA0) return 0;   // overlong
    if (lead == 0xED && byte(at + 1) >= 0xA0) return 0;  // surrogate
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(at + 1) || !continuation(at + 2) || !continuation(at + 3)) return 0;
    if (lead == 0xF0 && byte(at + 1) < 0x90) return 0;   // overlong
    if (lead == 0xF4 && byte(at + 1) >= 0x90) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

// JSON's short escape for `c`, or null when it has none.
const char* ShortEscape(char c) {
  switch (c) {
    case '"':
      return "\\\"";
    case '\\':
      return "\\\\";
    case '\b':
      return "\\b";
    case '\f':
      return "\\f";
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    default:
      return nullptr;
  }
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (size_t at = 0; at < text.size();) {
    unsigned char byte = static_cast<unsigned char>(text[at]);
    size_t length = Utf8Length(text, at);
    if (const char* escape = ShortEscape(text[at])) {
      out += escape;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", static_cast<unsigned>(byte));
      out += escaped;
    } else if (length == 0) {
      out += "\\ufffd";
    } else {
      out.append(text, at, length);
      at += length;
      continue;
    }
    ++at;
  }
  out += '"';
  return out;
}

}  // namespace snaphost
