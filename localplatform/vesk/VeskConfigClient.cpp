// The NFS file-server service as the local platform keeps it: the store
// lists the machines that run it, each up or down, and the exports each one
// holds. A configuration client only names its host; every call looks the
// machine up afresh. The local service takes no timeout, debug channel or
// flags, and is never restarted: a client made with any of them, or asked
// to restart, is refused.

#include "VeskConfigClient.h"

#include <atomic>
#include <ctime>

#include "admin/InjectedFaults.h"
#include "admin/PlatformCounters.h"
#include "frame/ServiceFrame.h"

namespace {

using localplatform::Answer;
using localplatform::FixedArguments;
using localplatform::Service;
using localplatform::Store;

const Service kStartServer = {"Vesk::VeskConfigClient::StartVeskServerWithWait",
                              localplatform::kFaultServerStart, false};
const Service kExportCommand = {"Vesk::VeskConfigClient::BackupFSMExport",
                                localplatform::kFaultExportCommand, true};

std::atomic<int64_t> g_created{0};
std::atomic<int64_t> g_destroyed{0};

// Why the service cannot run on `hostName`, or done when it can.
Answer ServerState(Store& store, const std::string& hostName) {
  localplatform::NfsServerRow server;
  if (!store.FindNfsServer(hostName, server)) {
    return {localplatform::kNotKnown, "[" + hostName + "] is not a registered NFS server machine"};
  }
  if (!server.up)
    return {localplatform::kServerDown, "NFS server machine [" + hostName + "] is down"};
  return {};
}

FixedArguments Constructed(const char* broken) {
  return FixedArguments().Require(broken == nullptr, broken);
}

}  // namespace

namespace localplatform {

int64_t VeskClientsCreated() { return g_created.load(); }
int64_t VeskClientsDestroyed() { return g_destroyed.load(); }

}  // namespace localplatform

namespace Vesk {

VeskConfigClient::VeskConfigClient(const std::string& hostName, long long timeout, EvDebug* debug,
                                   int flags)
    : hostName_(hostName),
      brokenArgument_(timeout != 0       ? "the timeout must be 0"
                      : debug != nullptr ? "the debug channel must be null"
                      : flags != 0       ? "the flags must be 0"
                                         : nullptr) {
  ++g_created;
}

VeskConfigClient::~VeskConfigClient() { ++g_destroyed; }

// The local service has nothing to launch: it runs wherever the machine is
// registered and up.
CLuError VeskConfigClient::StartVeskServerWithWait(const bool& restart) {
  Answer answer =
      CallService(kStartServer, hostName_,
                  Constructed(brokenArgument_).Require(!restart, "the restart flag must be false"),
                  [&](Store& store) { return ServerState(store, hostName_); });
  return CLuError(answer.code, answer.why);
}

// Adding an export that exists, or withdrawing one that does not, changes
// nothing and succeeds.
int VeskConfigClient::BackupFSMExport(ExportType exportType, VeskOperationType operation,
                                      unsigned long subclientId, std::string& mountPath,
                                      std::string& auxiliary) {
  FixedArguments arguments = Constructed(brokenArgument_);
  arguments
      .Require(exportType == EXPORT_TYPE_PIT_VIEW, "the export type must be EXPORT_TYPE_PIT_VIEW")
      .Require(operation == OPERATION_ADD || operation == OPERATION_DELETE,
               "the operation must be OPERATION_ADD or OPERATION_DELETE")
      .Require(auxiliary.empty(), "the auxiliary text must be empty");
  return CallService(kExportCommand, localplatform::SubclientSubject(subclientId), arguments,
                     [&](Store& store) {
                       Answer state = ServerState(store, hostName_);
                       if (state.code != localplatform::kServiceDone) return state;
                       if (operation == OPERATION_ADD) {
                         store.AddExport({hostName_, subclientId, mountPath, exportType,
                                          static_cast<int64_t>(std::time(nullptr))});
                       } else {
                         store.DeleteExport(hostName_, subclientId, mountPath);
                       }
                       return Answer();
                     })
      .code;
}

}  // namespace Vesk
