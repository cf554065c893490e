// The application manager's stored procedures, answered from the store.

#include <mutex>

#include "AppMgr.h"
#include "PlatformLog.h"
#include "XmlMessages.h"
#include "appmgr/StoredProcedures.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"

namespace localplatform {
namespace {

const char kFunction[] = "App_ExecuteSP::executeStoredProcedure";

// The last share list answer, with the stamp of the share list it was built
// from. Listing the shares and writing the answer cost far more than
// reading the stamp, so while the stamp stays the same the text is served
// again.
struct ShareListAnswer {
  std::mutex mutex;
  bool built = false;
  int64_t stamp = 0;
  std::string text;
};

ShareListAnswer& LastAnswer() {
  static ShareListAnswer answer;
  return answer;
}

int ListNfsShares(const std::string& request, std::string& response) {
  App::GetNFSShareReq parsed;
  std::string requestText = request;
  if (parsed.unserialize(requestText) != 0) {
    PLATFORM_LOG_ERROR(kFunction, "request is not a NFS share list request: [%s]", request.c_str());
    return kBadRequest;
  }

  ShareListAnswer& last = LastAnswer();
  int64_t stamp = 0;
  std::vector<ShareRow> shares;
  try {
    std::unique_ptr<Store> store = OpenStore();
    const std::string procedure = std::to_string(SP_GET_NFS_SHARES);
    if (FaultInjected(*store, kFaultStoredProcedure, procedure, kFunction)) return kFaultInjected;
    // The stamp is read first: a share added between the two reads is then
    // in a list kept under the older stamp, which only costs a rebuild.
    stamp = store->ShareListStamp();
    {
      std::lock_guard<std::mutex> lock(last.mutex);
      if (last.built && last.stamp == stamp) {
        response = last.text;
        return kProcedureOk;
      }
    }
    shares = store->ListShares();
  } catch (const StoreError& error) {
    PLATFORM_LOG_ERROR(kFunction, "platform store: %s", error.what());
    return kStoreUnavailable;
  }

  App::GetNFSShareResp answer;
  CNMessageList& list =
      answer.getlistobject(App::kNFSShareListGroup, App::kNFSShareListIndex,
                           App::kNFSShareListMessage, App::kNFSShareListField, true);
  for (const ShareRow& share : shares) {
    auto entry = std::make_shared<App::NFSShares>();
    entry->setstring(App::kShareGroup, App::kShareIndex, App::kNFSSharesMessage, App::kShareField,
                     share.share);
    entry->setstring(App::kNFSServerClientNameGroup, App::kNFSServerClientNameIndex,
                     App::kNFSSharesMessage, App::kNFSServerClientNameField,
                     share.serverClientName);
    entry->setint64(App::kShareSubclientIndex, App::kNFSSharesMessage, App::kShareSubclientField,
                    share.subclientId);
    list.push_back(std::move(entry));
  }
  std::string text;
  answer.serialize(text, false);
  {
    std::lock_guard<std::mutex> lock(last.mutex);
    last.built = true;
    last.stamp = stamp;
    last.text = text;
  }
  response = std::move(text);
  return kProcedureOk;
}

}  // namespace
}  // namespace localplatform

AdaptersBase::~AdaptersBase() = default;

App_ExecuteSP::App_ExecuteSP() = default;

App_ExecuteSP::~App_ExecuteSP() = default;

int App_ExecuteSP::executeStoredProcedure(unsigned long procedureId, const std::string& request,
                                          std::string& response, void*) {
  if (procedureId == SP_GET_NFS_SHARES) {
    return localplatform::ListNfsShares(request, response);
  }
  PLATFORM_LOG_ERROR(localplatform::kFunction, "unknown stored procedure [%lu]", procedureId);
  return localplatform::kUnknownProcedure;
}
