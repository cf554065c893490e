#include "HostNameEquivalence.h"

#include <cstring>
#include <vector>

#include "Log.h"
#include "LuUtils.h"

namespace {

constexpr CLuIPAddr::IP_FAMILY kAnyFamily = static_cast<CLuIPAddr::IP_FAMILY>(0);

bool SameText(const char* left, const char* right) { return std::strcmp(left, right) == 0; }

enum class Walk { kNoAddress, kNameIsAddress, kMatched, kExhausted };

// Resolves `name` and hands the text of each address, in the resolver's
// order, to `match` until it returns true. The resolver hands a literal
// address back as itself; that ends the walk, since such a name has no
// addresses of its own to stand for another name.
template <typename Match>
Walk WalkAddresses(const char* function, const std::string& name, Match match) {
  // The resolver's failure shows as an empty list; its error is not needed.
  std::vector<CLuIPAddr> addresses;
  CLuIPAddr::GetAllByName(name.c_str(), addresses, kAnyFamily);
  if (addresses.empty()) {
    ZRSO_LOG(zrso::LOG_NOTICE, function, "Did not find any IP addresses for [%s]", name.c_str());
    return Walk::kNoAddress;
  }
  for (const CLuIPAddr& address : addresses) {
    // A failed conversion leaves the empty text, compared like any other.
    CLuString text;
    address.GetAddressString(text);
    ZRSO_LOG(zrso::LOG_NOTICE, function, "Got address [%s] for [%s]", text.c_str(), name.c_str());
    if (SameText(text.c_str(), name.c_str())) {
      ZRSO_LOG(zrso::LOG_NOTICE, function,
               "[%s] is an IP adress. Will try to convert it to hostname and try with that.",
               name.c_str());
      return Walk::kNameIsAddress;
    }
    if (match(text)) return Walk::kMatched;
  }
  return Walk::kExhausted;
}

}  // namespace

ZRSO::ResultCode FindArrayUsingOtherNames(const std::string& name, const std::string& other) {
  static const char kFunction[] =
      "ZRSO::ResultCode FindArrayUsingOtherNames(const string&, const string&)";
  Walk walk = WalkAddresses(kFunction, name, [&](const CLuString& text) {
    if (!SameText(other.c_str(), text.c_str())) return false;
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "[%s] belongs to [%s]", other.c_str(), name.c_str());
    return true;
  });
  return walk == Walk::kMatched ? ZRSO::RESULT_SUCCESS : ZRSO::RESULT_FAILURE;
}

ZRSO::ResultCode FindArrayUsingOtherNames(ZRSO::SnapInfo* snapInfo, const std::string& name) {
  static const char kFunction[] =
      "ZRSO::ResultCode FindArrayUsingOtherNames(ZRSO::SnapInfo*, const string&)";
  if (snapInfo == nullptr) return ZRSO::RESULT_FAILURE;

  Walk walk = WalkAddresses(kFunction, name, [&](const CLuString& text) {
    return snapInfo->findArray(text.c_str()) != 1;
  });
  if (walk == Walk::kMatched) return ZRSO::RESULT_SUCCESS;
  if (walk == Walk::kNoAddress) return ZRSO::RESULT_FAILURE;

  // Only an address has a host name to offer; a host name parses as no
  // address, and that ends the search quietly.
  CLuIPAddr literal;
  if (literal.SetAddressString(name.c_str()).IsError()) return ZRSO::RESULT_FAILURE;
  CLuString hostName;
  if (literal.GetHostName(hostName).IsError() || hostName.IsEmpty()) {
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Could not get hostname for [%s]", name.c_str());
    return ZRSO::RESULT_FAILURE;
  }
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "[%s] <==> [%s]", name.c_str(), hostName.c_str());
  return snapInfo->findArray(hostName.c_str()) != 1 ? ZRSO::RESULT_SUCCESS : ZRSO::RESULT_FAILURE;
}
