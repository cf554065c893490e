// The platform information store: numbers by section and key, kept in the
// store. A store that cannot be read, or an injected fault, answers like an
// absent entry, and one that cannot be written reports the failure; either
// is logged.

#include "PlatformLog.h"
#include "ZrLib.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"

namespace {

constexpr int kStoreUnavailable = 1;
constexpr int kFaultInjected = 2;

// Opens the store and runs `work` on it unless a fault is injected for
// `key`: `work`'s result, `refused` on a fault, `unavailable` when the store
// fails.
template <typename Work>
int CallStore(const std::string& key, const char* function, int refused, int unavailable,
              Work work) {
  try {
    std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
    if (localplatform::FaultInjected(*store, localplatform::kFaultInformationStore, key,
                                     function)) {
      return refused;
    }
    return work(*store);
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR(function, "platform store: %s", error.what());
    return unavailable;
  }
}

}  // namespace

ZRPlatformInfo::ZRPlatformInfo() = default;

int ZRPlatformInfo::getNumber(const std::string& section, const std::string& key, uint64_t& value) {
  return CallStore(key, "ZRPlatformInfo::getNumber", 0, 0, [&](localplatform::Store& store) {
    return store.GetNumber(section, key, value) ? 1 : 0;
  });
}

int ZRPlatformInfo::setNumber(const std::string& section, const std::string& key, uint64_t value) {
  return CallStore(key, "ZRPlatformInfo::setNumber", kFaultInjected, kStoreUnavailable,
                   [&](localplatform::Store& store) {
                     store.SetNumber(section, key, value);
                     return 0;
                   });
}

int ZRPlatformInfo::deleteField(const std::string& section, const std::string& key) {
  return CallStore(key, "ZRPlatformInfo::deleteField", kFaultInjected, kStoreUnavailable,
                   [&](localplatform::Store& store) {
                     store.DeleteNumber(section, key);
                     return 0;
                   });
}
