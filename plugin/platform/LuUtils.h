#pragma once
// The platform's utility and network library: strings, error objects and
// name resolution.

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "PlatformApi.h"

class ZR_PLATFORM_API CLuString {
 public:
  CLuString() = default;
  explicit CLuString(std::string text) : text_(std::move(text)) {}

  // Never null; the empty text when the string holds nothing.
  const char* c_str() const { return text_.c_str(); }
  bool IsEmpty() const { return text_.empty(); }
  void Assign(std::string text) { text_ = std::move(text); }

 private:
  std::string text_;
};

class ZR_PLATFORM_API CLuError {
 public:
  CLuError() = default;
  CLuError(int32_t code, std::string text) : code_(code), text_(std::move(text)) {}

  // An error is any negative code.
  bool IsError() const { return code_ < 0; }
  int32_t GetCode() const { return code_; }
  const char* AsString() const { return text_.c_str(); }

 private:
  int32_t code_ = 0;
  std::string text_;
};

// One IPv4 or IPv6 address.
class ZR_PLATFORM_API CLuIPAddr {
 public:
  enum IP_FAMILY { IP_FAMILY_ANY = 0, IP_FAMILY_V4 = 1, IP_FAMILY_V6 = 2 };

  CLuIPAddr();

  // Every address `name` resolves to, in the resolver's order; a numeric
  // address resolves to itself. `addresses` is left empty on failure.
  static CLuError GetAllByName(const char* name, std::vector<CLuIPAddr>& addresses,
                               IP_FAMILY family);
  // This machine's host name.
  static CLuError GetLocalHost(CLuString& hostName);

  // Numeric text of the address, in the notation GetAllByName accepts.
  CLuError GetAddressString(CLuString& text) const;
  // Parses numeric text; an error when `text` is not an address.
  CLuError SetAddressString(const char* text);
  // Reverse lookup; may succeed with an empty name.
  CLuError GetHostName(CLuString& hostName) const;

 private:
  sockaddr_storage address_;
  socklen_t length_;
};
