// Addresses and names through the system resolver (getaddrinfo and
// getnameinfo), so that whatever the machine's name service answers, from
// its hosts file to DNS, is what the plug-in sees. The local host name is a
// platform service that can be made to fail; resolving is not.

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "LuUtils.h"
#include "admin/InjectedFaults.h"
#include "frame/ServiceFrame.h"

namespace {

// Resolver codes (EAI_*) are negative already; system errors become -errno.
CLuError ResolverError(int code, const std::string& context) {
  if (code == EAI_SYSTEM) {
    int error = errno;
    return CLuError(-error, context + ": " + std::strerror(error));
  }
  return CLuError(code < 0 ? code : -code, context + ": " + gai_strerror(code));
}

int ToAddressFamily(CLuIPAddr::IP_FAMILY family) {
  switch (family) {
    case CLuIPAddr::IP_FAMILY_V4:
      return AF_INET;
    case CLuIPAddr::IP_FAMILY_V6:
      return AF_INET6;
    default:
      return AF_UNSPEC;
  }
}

}  // namespace

CLuIPAddr::CLuIPAddr() : address_(), length_(0) {}

CLuError CLuIPAddr::GetAllByName(const char* name, std::vector<CLuIPAddr>& addresses,
                                 IP_FAMILY family) {
  addresses.clear();
  if (name == nullptr || *name == '\0') return CLuError(-EINVAL, "no name to resolve");

  addrinfo hints{};
  hints.ai_family = ToAddressFamily(family);
  hints.ai_socktype = SOCK_STREAM;  // one record per address, not one per socket type
  addrinfo* found = nullptr;
  int rc = getaddrinfo(name, nullptr, &hints, &found);
  if (rc != 0) return ResolverError(rc, std::string("resolve ") + name);

  for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
    // Each record is taken over byte for byte, as the resolver gave it.
    if (entry->ai_addr == nullptr || entry->ai_addrlen > sizeof(sockaddr_storage)) continue;
    CLuIPAddr address;
    std::memcpy(&address.address_, entry->ai_addr, entry->ai_addrlen);
    address.length_ = entry->ai_addrlen;
    addresses.push_back(address);
  }
  freeaddrinfo(found);
  return CLuError();
}

CLuError CLuIPAddr::GetLocalHost(CLuString& hostName) {
  static const localplatform::Service kLocalHost = {"CLuIPAddr::GetLocalHost",
                                                    localplatform::kFaultLocalHostName, false};
  char name[HOST_NAME_MAX + 1] = {};
  localplatform::Answer answer = localplatform::CallService(
      kLocalHost, "", localplatform::FixedArguments(), [&](localplatform::Store&) {
        if (gethostname(name, sizeof(name) - 1) == 0) return localplatform::Answer();
        return localplatform::Answer{localplatform::kSystemRefused,
                                     std::string("gethostname: ") + std::strerror(errno)};
      });
  if (answer.code == localplatform::kServiceDone) hostName.Assign(name);
  return CLuError(answer.code, answer.why);
}

CLuError CLuIPAddr::GetAddressString(CLuString& text) const {
  if (length_ == 0) return CLuError(-EINVAL, "no address");
  char numeric[NI_MAXHOST] = {};
  int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&address_), length_, numeric,
                       sizeof(numeric), nullptr, 0, NI_NUMERICHOST);
  if (rc != 0) return ResolverError(rc, "address text");
  text.Assign(numeric);
  return CLuError();
}

// Only numeric text counts: a dotted quad, or IPv6 text with an optional
// zone. Host names, and the short forms inet_aton accepts ("10.1"), do not.
CLuError CLuIPAddr::SetAddressString(const char* text) {
  if (text == nullptr || *text == '\0') return CLuError(-EINVAL, "no address text");
  sockaddr_in v4{};
  if (inet_pton(AF_INET, text, &v4.sin_addr) == 1) {
    v4.sin_family = AF_INET;
    address_ = sockaddr_storage();
    std::memcpy(&address_, &v4, sizeof(v4));
    length_ = sizeof(v4);
    return CLuError();
  }
  addrinfo hints{};
  hints.ai_family = AF_INET6;
  hints.ai_flags = AI_NUMERICHOST;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = getaddrinfo(text, nullptr, &hints, &found);
  if (rc != 0) return CLuError(rc < 0 ? rc : -rc, std::string("[") + text + "] is not an address");
  address_ = sockaddr_storage();
  std::memcpy(&address_, found->ai_addr, found->ai_addrlen);
  length_ = found->ai_addrlen;
  freeaddrinfo(found);
  return CLuError();
}

CLuError CLuIPAddr::GetHostName(CLuString& hostName) const {
  if (length_ == 0) return CLuError(-EINVAL, "no address");
  char name[NI_MAXHOST] = {};
  int rc = getnameinfo(reinterpret_cast<const sockaddr*>(&address_), length_, name, sizeof(name),
                       nullptr, 0, NI_NAMEREQD);
  if (rc != 0) return ResolverError(rc, "reverse lookup");
  hostName.Assign(name);
  return CLuError();
}
