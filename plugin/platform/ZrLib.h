#pragma once
// The platform's client library: platform clients and the information store.

#include <cstdint>
#include <string>

#include "PlatformApi.h"

enum ZRNameType { ZR_NAME_TYPE_CLIENT_NAME = 1 };

// A handle on one platform client, named by its client name.
class ZR_PLATFORM_API ZRClient {
 public:
  ZRClient(const std::string& clientName, bool create, unsigned long clientId);
  ZRClient(const std::string& clientName, ZRNameType nameType, unsigned long clientId,
           void* reserved);

  // The client's network host name. 0 on success; on failure hostName is
  // left unchanged.
  int getNetworkHostname(std::string& hostName, void* reserved);
  // As getNetworkHostname, in the form the file-server service is addressed by.
  int getNetworkHostnameMangled(std::string& hostName, void* reserved);

 private:
  std::string clientName_;
  const char* brokenArgument_ = nullptr;  // a construction argument refused by every call
};

// Numeric entries by section and key.
class ZR_PLATFORM_API ZRPlatformInfo {
 public:
  ZRPlatformInfo();

  // Non-zero when the entry exists; its value is then in `value`.
  int getNumber(const std::string& section, const std::string& key, uint64_t& value);
  // 0 once the entry is stored.
  int setNumber(const std::string& section, const std::string& key, uint64_t value);
  // 0 once the entry is gone (also when there was none).
  int deleteField(const std::string& section, const std::string& key);
};
