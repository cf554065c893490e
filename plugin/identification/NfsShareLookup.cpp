#include "NfsShareLookup.h"

#include <limits>

#include "AppMgr.h"
#include "HostNameEquivalence.h"
#include "Log.h"
#include "SnapCodes.h"
#include "XmlMessages.h"
#include "ZrLib.h"

namespace {

const char kFunction[] =
    "int32_t FindNfsShare(const string&, const string&, std::string&, int&, std::string&)";

// The entry's identifier as the lookup may use it. One that does not fit in
// 32 bits is not cut down to its low bits (that could name another share's
// subclient); it is refused like an identifier of 0.
int UsableSubclientId(int64_t identifier, const std::string& share) {
  if (identifier < std::numeric_limits<int>::min() ||
      identifier > std::numeric_limits<int>::max()) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction,
             "Subclient id [%lld] of NFS share [%s] does not fit in 32 bits; ignored.",
             static_cast<long long>(identifier), share.c_str());
    return 0;
  }
  return static_cast<int>(identifier);
}

// Whether the server of an entry, known by its client name, is the machine
// named `nfsServerHostName`: by equal host names, or by either name
// resolving to the other.
bool SameServer(const std::string& serverClientName, const std::string& nfsServerHostName) {
  std::string tempHostName;
  ZRClient client(serverClientName, false, 0);
  client.getNetworkHostname(tempHostName, nullptr);  // unresolved: compared as it is left
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "tempHostName [%s]", tempHostName.c_str());
  return tempHostName == nfsServerHostName ||
         FindArrayUsingOtherNames(tempHostName, nfsServerHostName) == ZRSO::RESULT_SUCCESS ||
         FindArrayUsingOtherNames(nfsServerHostName, tempHostName) == ZRSO::RESULT_SUCCESS;
}

}  // namespace

int32_t FindNfsShare(const std::string& share, const std::string& nfsServerHostName,
                     std::string& nfsServerClientName, int& shareSubclientId,
                     std::string& errorMessage) {
  App::GetNFSShareReq request;
  App::GetNFSShareResp response;
  std::string requestText;
  std::string responseText;
  request.serialize(requestText, false);
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "INFO:Get NFS Share request XML [%s]", requestText.c_str());

  App_ExecuteSP executor;
  int rc = executor.executeStoredProcedure(SP_GET_NFS_SHARES, requestText, responseText, nullptr);
  if (rc != 0) {
    errorMessage = "Failed to get list of configured NFS shares.";
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction,
             "ERROR: App_ExecuteSP::executeStoredProcedure failed. Error code [%d]", rc);
    return ZRSO::ERROR_SHARE_LIST;
  }
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "INFO: GET NFS Share response xml[%s]",
           responseText.c_str());

  // Whatever list the response yields is walked; a damaged one is empty.
  response.unserialize(responseText);
  CNMessageList& entries =
      response.getlistobject(App::kNFSShareListGroup, App::kNFSShareListIndex,
                             App::kNFSShareListMessage, App::kNFSShareListField, false);

  shareSubclientId = 0;
  for (size_t index = 0; index < entries.size(); ++index) {
    CNMessageBase& entry = *entries[index];
    std::string entryShare = entry.getstring(App::kShareGroup, App::kShareIndex,
                                             App::kNFSSharesMessage, App::kShareField);
    std::string entryClientName =
        entry.getstring(App::kNFSServerClientNameGroup, App::kNFSServerClientNameIndex,
                        App::kNFSSharesMessage, App::kNFSServerClientNameField);
    int64_t entrySubclient = entry.getint64(App::kShareSubclientIndex, App::kNFSSharesMessage,
                                            App::kShareSubclientField);
    // The identifier is logged by its low 32 bits.
    ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "Share [%s] NFSServerClientName [%s] shareSubclient [%d]",
             entryShare.c_str(), entryClientName.c_str(),
             static_cast<int32_t>(static_cast<uint32_t>(entrySubclient)));
    if (entryShare != share) continue;

    // The first entry with the share decides, whatever its outcome.
    if (!nfsServerClientName.empty() && nfsServerClientName == entryClientName) {
      shareSubclientId = UsableSubclientId(entrySubclient, entryShare);
    } else if (SameServer(entryClientName, nfsServerHostName)) {
      // nfsServerHostName is not read after this: it may be this very text.
      shareSubclientId = UsableSubclientId(entrySubclient, entryShare);
      nfsServerClientName = entryClientName;
    }
    break;
  }

  if (shareSubclientId == 0) {
    errorMessage = "NFS Share not found in KT DB.";
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to find subclient id for nfs share  [%s].",
             share.c_str());
    return ZRSO::ERROR_SHARE_NOT_FOUND;
  }
  return 0;
}
