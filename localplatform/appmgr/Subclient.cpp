// The view configuration of a share subclient, kept in the store as one
// versioned text per subclient. A write succeeds only if the list is still
// at the version this object last saw, so of two hosts that read, change and
// write one list at the same time the second gets a failure instead of
// silently overwriting the first one's change.

#include <vector>

#include "AppMgr.h"
#include "admin/InjectedFaults.h"
#include "frame/ServiceFrame.h"

namespace {

using localplatform::Answer;
using localplatform::FixedArguments;
using localplatform::Service;
using localplatform::Store;

const Service kNfsServers = {"Subclient::getVeskNFSServers", localplatform::kFaultSubclientServers,
                             false};
const Service kReadViewList = {"Subclient::getVeskViewConfiguration",
                               localplatform::kFaultViewListRead, false};
const Service kWriteViewList = {"Subclient::setVeskViewConfiguration",
                                localplatform::kFaultViewListWrite, true};

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
// the order the shares were configured, separated by ",". Like every answer
// here, it is written only on success.
int Subclient::getVeskNFSServers(std::string& servers, void* reserved) {
  std::vector<std::string> names;
  int code = CallService(kNfsServers, localplatform::SubclientSubject(subclientId_),
                         FixedArguments().RequireNullReserved(reserved),
                         [&](Store& store) {
                           names = store.ListServerClientNames(subclientId_);
                           return Answer();
                         })
                 .code;
  if (code != localplatform::kServiceDone) return code;
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : ",") + name;
  servers = std::move(joined);
  return code;
}

int Subclient::getVeskViewConfiguration(std::string& viewList, void* reserved) {
  localplatform::VersionedViewList stored;
  int code = CallService(kReadViewList, localplatform::SubclientSubject(subclientId_),
                         FixedArguments().RequireNullReserved(reserved),
                         [&](Store& store) {
                           stored = store.ReadViewList(subclientId_);
                           return Answer();
                         })
                 .code;
  if (code != localplatform::kServiceDone) return code;
  viewList = std::move(stored.text);
  state_->version = stored.version;
  return code;
}

int Subclient::setVeskViewConfiguration(const std::string& viewList, void* reserved) {
  const std::string subject = localplatform::SubclientSubject(subclientId_);
  const FixedArguments arguments = FixedArguments().RequireNullReserved(reserved);
  int code = CallService(kWriteViewList, subject, arguments, [&](Store& store) {
               if (store.WriteViewList(subclientId_, viewList, state_->version)) return Answer();
               return Answer{localplatform::kListChanged,
                             "view list of subclient [" + subject + "] changed since it was read"};
             }).code;
  // The store bumps the version by one on every write, a first one included.
  if (code == localplatform::kServiceDone) ++state_->version;
  return code;
}
