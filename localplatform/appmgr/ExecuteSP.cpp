// The application manager's stored procedures, answered from the store.

#include "AppMgr.h"
#include "PlatformLog.h"
#include "XmlMessages.h"
#include "appmgr/StoredProcedures.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"

namespace localplatform {
namespace {

const char kFunction[] = "App_ExecuteSP::executeStoredProcedure";

int ListNfsShares(const std::string& request, std::string& response) {
  App::GetNFSShareReq parsed;
  std::string requestText = request;
  if (parsed.unserialize(requestText) != 0) {
    PLATFORM_LOG_ERROR(kFunction, "request is not a NFS share list request: [%s]", request.c_str());
    return kBadRequest;
  }

  std::vector<ShareRow> shares;
  try {
    std::unique_ptr<Store> store = OpenStore();
    const std::string procedure = std::to_string(SP_GET_NFS_SHARES);
    if (FaultInjected(*store, kFaultStoredProcedure, procedure, kFunction)) return kFaultInjected;
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
  answer.serialize(response, false);
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
