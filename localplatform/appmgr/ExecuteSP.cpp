// The application manager's stored procedures, answered from the store. The
// local management database answers one procedure, SP_GET_NFS_SHARES, with
// one App::NFSShares per configured share, in the order the shares were
// added.

#include "AppMgr.h"
#include "XmlMessages.h"
#include "admin/InjectedFaults.h"
#include "frame/ServiceFrame.h"

namespace localplatform {
namespace {

const Service kExecuteStoredProcedure = {"App_ExecuteSP::executeStoredProcedure",
                                         kFaultStoredProcedure, false};

// The one request the procedure takes: an App::GetNFSShareReq with no field
// set, in the compact form the message library writes (pretty printing off).
const std::string& ShareListRequest() {
  static const std::string kRequest = [] {
    std::string text;
    App::GetNFSShareReq().serialize(text, false);
    return text;
  }();
  return kRequest;
}

// The last share list answer, with the stamp of the share list it was built
// from. Listing the shares and writing the answer cost far more than
// reading the stamp, so while the stamp stays the same the text is served
// again. Stamps are random, so the answer of another store is never served.
// Calls run one at a time (Store::Begin), so the answer needs no lock.
struct ShareListAnswer {
  bool built = false;
  int64_t stamp = 0;
  std::string text;
};

ShareListAnswer& LastAnswer() {
  static ShareListAnswer answer;
  return answer;
}

std::string BuildAnswer(const std::vector<ShareRow>& shares) {
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
  return text;
}

Answer ListNfsShares(Store& store, std::string& response) {
  ShareListAnswer& last = LastAnswer();
  const int64_t stamp = store.ShareListStamp();
  if (!last.built || last.stamp != stamp) {
    last.text = BuildAnswer(store.ListShares());
    last.stamp = stamp;
    last.built = true;
  }
  response = last.text;
  return {};
}

}  // namespace
}  // namespace localplatform

AdaptersBase::~AdaptersBase() = default;

App_ExecuteSP::App_ExecuteSP() = default;

App_ExecuteSP::~App_ExecuteSP() = default;

int App_ExecuteSP::executeStoredProcedure(unsigned long procedureId, const std::string& request,
                                          std::string& response, void* reserved) {
  using namespace localplatform;
  FixedArguments arguments;
  arguments.Require(procedureId == SP_GET_NFS_SHARES, "the procedure must be SP_GET_NFS_SHARES")
      .Require(
          request == ShareListRequest(),
          "the request must be an empty App::GetNFSShareReq, serialised without pretty printing")
      .RequireNullReserved(reserved);
  return CallService(kExecuteStoredProcedure, std::to_string(procedureId), arguments,
                     [&](Store& store) { return ListNfsShares(store, response); })
      .code;
}
