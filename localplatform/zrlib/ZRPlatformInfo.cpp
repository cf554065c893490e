// The platform information store: numbers by section and key, kept in the
// store. A store that cannot be read answers like an absent entry, and one
// that cannot be written reports the failure; either is logged.

#include "PlatformLog.h"
#include "ZrLib.h"
#include "store/Store.h"

namespace {

constexpr int kStoreUnavailable = 1;

}  // namespace

ZRPlatformInfo::ZRPlatformInfo() = default;

int ZRPlatformInfo::getNumber(const std::string& section, const std::string& key, uint64_t& value) {
  try {
    return localplatform::OpenStore()->GetNumber(section, key, value) ? 1 : 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR("ZRPlatformInfo::getNumber", "platform store: %s", error.what());
    return 0;
  }
}

int ZRPlatformInfo::setNumber(const std::string& section, const std::string& key, uint64_t value) {
  try {
    localplatform::OpenStore()->SetNumber(section, key, value);
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR("ZRPlatformInfo::setNumber", "platform store: %s", error.what());
    return kStoreUnavailable;
  }
}

int ZRPlatformInfo::deleteField(const std::string& section, const std::string& key) {
  try {
    localplatform::OpenStore()->DeleteNumber(section, key);
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR("ZRPlatformInfo::deleteField", "platform store: %s", error.what());
    return kStoreUnavailable;
  }
}
