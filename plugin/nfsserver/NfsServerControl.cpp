#include "NfsServerControl.h"

#include <memory>

#include "Log.h"
#include "ZrLib.h"

bool StartVeskServer(const std::string& clientName, Vesk::VeskConfigClient*& configClient) {
  static const char kFunction[] = "bool StartVeskServer(const string&, Vesk::VeskConfigClient*&)";
  std::string hostName;
  {
    ZRClient client(clientName, ZR_NAME_TYPE_CLIENT_NAME, 0, nullptr);
    if (client.getNetworkHostnameMangled(hostName, nullptr) != 0) {
      ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Failed to get hostname for clientname [%s].",
               clientName.c_str());
      return false;
    }
  }

  std::unique_ptr<Vesk::VeskConfigClient> started(
      new Vesk::VeskConfigClient(hostName, 0, nullptr, 0));
  configClient = started.get();
  const bool restart = false;
  CLuError launch = started->StartVeskServerWithWait(restart);
  if (launch.IsError()) {
    started.reset();
    configClient = nullptr;
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "Failed to launch Vesk server [%s] err [%s]",
             clientName.c_str(), launch.AsString());
    return false;
  }
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Launched Vesk server [%s] successfully",
           clientName.c_str());
  started.release();  // now the caller's
  return true;
}

bool SendCommandToNfsServer(const std::string& clientName, ExportType exportType,
                            VeskOperationType operation, unsigned long shareSubclientId,
                            std::string& mountPath, std::string& auxiliaryText) {
  static const char kFunction[] =
      "bool SendCommandToNfsServer(const string&, ExportType, VeskOperationType, long unsigned "
      "int, std::string&, std::string&)";
  Vesk::VeskConfigClient* started = nullptr;
  bool launched = StartVeskServer(clientName, started);
  std::unique_ptr<Vesk::VeskConfigClient> client(started);
  if (!launched) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "ERROR: Failed to launch Vesk server on [%s]",
             clientName.c_str());
    return false;
  }
  int refused =
      client->BackupFSMExport(exportType, operation, shareSubclientId, mountPath, auxiliaryText);
  if (refused != 0) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "ERROR: Failed to send export request to NFS server [%s]",
             clientName.c_str());
    return false;
  }
  return true;
}
