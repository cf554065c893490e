#pragma once
// The configuration client of the platform's NFS file-server service.

#include <string>

#include "LuUtils.h"
#include "PlatformApi.h"

enum ExportType { EXPORT_TYPE_PIT_VIEW = 2 };
enum VeskOperationType { OPERATION_ADD = 1, OPERATION_DELETE = 3 };

class EvDebug;

namespace Vesk {

// Talks to the file-server service on one host. Construction does no I/O.
class ZR_PLATFORM_API VeskConfigClient {
 public:
  VeskConfigClient(const std::string& hostName, long long timeout, EvDebug* debug, int flags);
  VeskConfigClient(const VeskConfigClient&) = delete;
  VeskConfigClient& operator=(const VeskConfigClient&) = delete;
  ~VeskConfigClient();

  // Starts the service on the host and waits for it. No error on success.
  CLuError StartVeskServerWithWait(const bool& restart);
  // Adds or withdraws the export of `mountPath` for the subclient. 0 when the
  // service accepted the command.
  int BackupFSMExport(ExportType exportType, VeskOperationType operation, unsigned long subclientId,
                      std::string& mountPath, std::string& auxiliary);

 private:
  std::string hostName_;
  const char* brokenArgument_ = nullptr;  // a construction argument refused by every call
};

}  // namespace Vesk
