#include "PlatformReplay.h"

#include "AppMgr.h"
#include "LuUtils.h"
#include "VeskConfigClient.h"
#include "XmlMessages.h"
#include "ZrLib.h"

namespace bench {
namespace {

std::string ShareListRequest() {
  std::string text;
  App::GetNFSShareReq().serialize(text, false);
  return text;
}

// Reads the fields of each entry of `response` until the target's.
void ReadEntriesUpTo(App::GetNFSShareResp& response, const std::string& share) {
  CNMessageList& entries =
      response.getlistobject(App::kNFSShareListGroup, App::kNFSShareListIndex,
                             App::kNFSShareListMessage, App::kNFSShareListField, false);
  for (const auto& entry : entries) {
    std::string entryShare = entry->getstring(App::kShareGroup, App::kShareIndex,
                                              App::kNFSSharesMessage, App::kShareField);
    entry->getstring(App::kNFSServerClientNameGroup, App::kNFSServerClientNameIndex,
                     App::kNFSSharesMessage, App::kNFSServerClientNameField);
    entry->getint64(App::kShareSubclientIndex, App::kNFSSharesMessage, App::kShareSubclientField);
    if (entryShare == share) return;
  }
}

// The share lookup and the server's host name, as every operation starts.
// The messages and texts are made, and so freed, in the plug-in's order:
// at 100,000 shares that order decides how much memory goes back to the
// system and has to be faulted in again on the next call.
bool ReplayLookup(const BenchPlatform& platform) {
  App::GetNFSShareReq request;
  App::GetNFSShareResp response;
  std::string requestText;
  std::string responseText;
  request.serialize(requestText, false);
  App_ExecuteSP executor;
  if (executor.executeStoredProcedure(SP_GET_NFS_SHARES, requestText, responseText, nullptr) != 0) {
    return false;
  }
  response.unserialize(responseText);
  ReadEntriesUpTo(response, platform.targetShare());
  std::string hostName;
  return ZRClient(kServerClient, false, 0).getNetworkHostname(hostName, nullptr) == 0;
}

// The server started and the export of the target's view added or withdrawn.
bool SendExport(const BenchPlatform& platform, VeskOperationType operation) {
  std::string hostName;
  if (ZRClient(kServerClient, ZR_NAME_TYPE_CLIENT_NAME, 0, nullptr)
          .getNetworkHostnameMangled(hostName, nullptr) != 0) {
    return false;
  }
  Vesk::VeskConfigClient client(hostName, 0, nullptr, 0);
  const bool restart = false;
  if (client.StartVeskServerWithWait(restart).IsError()) return false;
  std::string mountPath = platform.mountPath();
  std::string auxiliary;
  return client.BackupFSMExport(EXPORT_TYPE_PIT_VIEW, operation, platform.targetSubclient(),
                                mountPath, auxiliary) == 0;
}

}  // namespace

bool CallShareListProcedure(std::string& response) {
  App_ExecuteSP executor;
  return executor.executeStoredProcedure(SP_GET_NFS_SHARES, ShareListRequest(), response,
                                         nullptr) == 0;
}

bool ParseShareList(std::string& response) {
  App::GetNFSShareResp parsed;
  return parsed.unserialize(response) == 0;
}

bool ReadAndWriteList(const BenchPlatform& platform, const std::string& list) {
  Subclient subclient(platform.targetSubclient());
  std::string read;
  return subclient.getVeskViewConfiguration(read, nullptr) == 0 &&
         subclient.setVeskViewConfiguration(list, nullptr) == 0;
}

bool ReplaySnapshot(const BenchPlatform& platform) { return ReplayLookup(platform); }

bool ReplayMap(const BenchPlatform& platform) {
  CLuString localHost;
  return !CLuIPAddr::GetLocalHost(localHost).IsError() && ReplayLookup(platform) &&
         ReadAndWriteList(platform, platform.extendedList()) &&
         SendExport(platform, OPERATION_ADD);
}

bool ReplayUnmap(const BenchPlatform& platform) {
  if (!ReplayLookup(platform)) return false;
  Subclient subclient(platform.targetSubclient());
  std::string servers;
  std::string read;
  return subclient.getVeskNFSServers(servers, nullptr) == 0 &&
         subclient.getVeskViewConfiguration(read, nullptr) == 0 &&
         SendExport(platform, OPERATION_DELETE) &&
         subclient.setVeskViewConfiguration(platform.arrangedList(), nullptr) == 0;
}

}  // namespace bench
