// Platform clients: a client name resolves to the network host name the
// management database holds for it.

#include "PlatformLog.h"
#include "ZrLib.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"

namespace {

constexpr int kClientUnknown = 1;
constexpr int kStoreUnavailable = 2;
constexpr int kFaultInjected = 3;

int LookUpHost(const std::string& clientName, std::string& hostName, const char* function) {
  try {
    std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
    if (localplatform::FaultInjected(*store, localplatform::kFaultClientHostName, clientName,
                                     function)) {
      return kFaultInjected;
    }
    std::string found;
    if (!store->FindClientHost(clientName, found)) return kClientUnknown;
    hostName = found;
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR(function, "platform store: %s", error.what());
    return kStoreUnavailable;
  }
}

}  // namespace

ZRClient::ZRClient(const std::string& clientName, bool, unsigned long) : clientName_(clientName) {}

ZRClient::ZRClient(const std::string& clientName, ZRNameType, unsigned long, void*)
    : clientName_(clientName) {}

int ZRClient::getNetworkHostname(std::string& hostName, void*) {
  return LookUpHost(clientName_, hostName, "ZRClient::getNetworkHostname");
}

// The local platform addresses the file-server service by the plain host name.
int ZRClient::getNetworkHostnameMangled(std::string& hostName, void*) {
  return LookUpHost(clientName_, hostName, "ZRClient::getNetworkHostnameMangled");
}
