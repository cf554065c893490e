// The NFS file-server service as the local platform keeps it: the store
// lists the machines that run it, each up or down, and the exports each one
// holds. A configuration client only names its host; every call looks the
// machine up afresh.

#include "VeskConfigClient.h"

#include <atomic>
#include <ctime>

#include "PlatformLog.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"
#include "vesk/VeskClientCount.h"

namespace {

constexpr int32_t kServerUnknown = -1;
constexpr int32_t kServerDown = -2;
constexpr int32_t kStoreUnavailable = -3;
constexpr int32_t kStartFaultInjected = -4;

constexpr int kUnknownExportType = 1;
constexpr int kUnknownOperation = 2;
constexpr int kServerNotRunning = 3;
constexpr int kStoreFailed = 4;
constexpr int kCommandFaultInjected = 5;

std::atomic<int64_t> g_created{0};
std::atomic<int64_t> g_destroyed{0};

// Why the service cannot run on `hostName`, or no error when it can.
CLuError ServerState(localplatform::Store& store, const std::string& hostName) {
  localplatform::NfsServerRow server;
  if (!store.FindNfsServer(hostName, server)) {
    return CLuError(kServerUnknown, "[" + hostName + "] is not a registered NFS server machine");
  }
  if (!server.up) return CLuError(kServerDown, "NFS server machine [" + hostName + "] is down");
  return CLuError();
}

}  // namespace

namespace localplatform {

int64_t VeskClientsCreated() { return g_created.load(); }
int64_t VeskClientsDestroyed() { return g_destroyed.load(); }

}  // namespace localplatform

namespace Vesk {

VeskConfigClient::VeskConfigClient(const std::string& hostName, long long, EvDebug*, int)
    : hostName_(hostName) {
  ++g_created;
}

VeskConfigClient::~VeskConfigClient() { ++g_destroyed; }

// The local service has nothing to launch: it runs wherever the machine is
// registered and up.
CLuError VeskConfigClient::StartVeskServerWithWait(const bool&) {
  try {
    std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
    if (localplatform::FaultInjected(*store, localplatform::kFaultServerStart, hostName_,
                                     "Vesk::VeskConfigClient::StartVeskServerWithWait")) {
      return CLuError(kStartFaultInjected, "injected fault: the service does not start on [" +
                                               hostName_ + "]");
    }
    return ServerState(*store, hostName_);
  } catch (const localplatform::StoreError& error) {
    return CLuError(kStoreUnavailable, std::string("platform store: ") + error.what());
  }
}

// Adding an export that exists, or withdrawing one that does not, changes
// nothing and succeeds.
int VeskConfigClient::BackupFSMExport(ExportType exportType, VeskOperationType operation,
                                      unsigned long subclientId, std::string& mountPath,
                                      std::string&) {
  static const char kFunction[] = "Vesk::VeskConfigClient::BackupFSMExport";
  if (exportType != EXPORT_TYPE_PIT_VIEW) {
    PLATFORM_LOG_ERROR(kFunction, "unknown export type [%d]", static_cast<int>(exportType));
    return kUnknownExportType;
  }
  if (operation != OPERATION_ADD && operation != OPERATION_DELETE) {
    PLATFORM_LOG_ERROR(kFunction, "unknown operation [%d]", static_cast<int>(operation));
    return kUnknownOperation;
  }
  try {
    std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
    CLuError state = ServerState(*store, hostName_);
    if (state.IsError()) {
      PLATFORM_LOG_ERROR(kFunction, "%s", state.AsString());
      return kServerNotRunning;
    }
    if (localplatform::FaultInjected(*store, localplatform::kFaultExportCommand,
                                     localplatform::SubclientSubject(subclientId), kFunction)) {
      return kCommandFaultInjected;
    }
    if (operation == OPERATION_ADD) {
      store->AddExport({hostName_, subclientId, mountPath, exportType,
                        static_cast<int64_t>(std::time(nullptr))});
    } else {
      store->DeleteExport(hostName_, subclientId, mountPath);
    }
    return 0;
  } catch (const localplatform::StoreError& error) {
    PLATFORM_LOG_ERROR(kFunction, "platform store: %s", error.what());
    return kStoreFailed;
  }
}

}  // namespace Vesk
