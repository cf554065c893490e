// The view configuration of a share subclient, kept in the store as one
// versioned text per subclient. A write succeeds only if the list is still
// at the version this object last saw, so of two hosts that read, change and
// write one list at the same time the second gets a failure instead of
// silently overwriting the first one's change.

#include <algorithm>
#include <vector>

#include "AppMgr.h"
#include "PlatformLog.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"

namespace {

constexpr int kStoreUnavailable = 1;
constexpr int kListChanged = 2;
constexpr int kFaultInjected = 3;

}  // namespace

// The version of the list this object last read or wrote. Before any read it
// is 0, "no list stored": a write without a read then succeeds only while
// the subclient has no list at all, so it can never replace one unseen.
struct Subclient::State {
  int64_t version = 0;
};

Subclient::Subclient(unsigned long subclientId)
    : subclientId_(subclientId), state_(std::make_unique<State>()) {}

Subclient::~Subclient() = default;

// The distinct client names of the NFS servers of the subclient's shares, in
// the order the shares were configured, separated by ",".
int Subclient::getVeskNFSServers(std::string& servers, void*) {
  try {
    std::vector<std::string> names;
    for (const localplatform::ShareRow& share : localplatform::OpenStore()->ListShares()) {
      if (static_cast<unsigned long>(share.subclientId) != subclientId_) continue;
      if (std::find(names.begin(), names.end(), share.serverClientName) != names.end()) continue;
      names.push_back(share.serverClientName);
    }
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ",") + name;
    servers = joined;
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR("Subclient::getVeskNFSServers", "platform store: %s", error.what());
    return kStoreUnavailable;
  }
}

int Subclient::getVeskViewConfiguration(std::string& viewList, void*) {
  static const char kFunction[] = "Subclient::getVeskViewConfiguration";
  try {
    std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
    if (localplatform::FaultInjected(*store, localplatform::kFaultViewListRead,
                                     localplatform::SubclientSubject(subclientId_), kFunction)) {
      return kFaultInjected;
    }
    localplatform::VersionedViewList stored = store->ReadViewList(subclientId_);
    viewList = stored.text;
    state_->version = stored.version;
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR(kFunction, "platform store: %s", error.what());
    return kStoreUnavailable;
  }
}

int Subclient::setVeskViewConfiguration(const std::string& viewList, void*) {
  static const char kFunction[] = "Subclient::setVeskViewConfiguration";
  try {
    std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
    if (localplatform::FaultInjected(*store, localplatform::kFaultViewListWrite,
                                     localplatform::SubclientSubject(subclientId_), kFunction)) {
      return kFaultInjected;
    }
    if (!store->WriteViewList(subclientId_, viewList, state_->version)) {
      PLATFORM_LOG_ERROR(kFunction, "view list of subclient [%lu] changed since it was read",
                         subclientId_);
      return kListChanged;
    }
    // The store bumps the version by one on every write, a first one included.
    ++state_->version;
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR(kFunction, "platform store: %s", error.what());
    return kStoreUnavailable;
  }
}
