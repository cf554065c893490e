#include "faults/InjectedFaults.h"

#include "PlatformLog.h"

namespace localplatform {

const std::vector<FaultKind>& FaultKinds() {
  static const std::vector<FaultKind> kKinds = {
      {kFaultStoredProcedure, "the management database's stored procedures", "procedure id"},
      {kFaultClientHostName, "a client's network host name", "client name"},
      {kFaultViewListRead, "reading a share subclient's view list", "subclient id"},
      {kFaultViewListWrite, "writing a share subclient's view list", "subclient id"},
      {kFaultServerStart, "starting the NFS file-server service", "host name"},
      {kFaultExportCommand, "export and withdraw commands of the NFS file-server service",
       "subclient id"},
      {kFaultInformationStore, "the information store: a read finds nothing, a write fails",
       "key"},
  };
  return kKinds;
}

std::string SubclientSubject(unsigned long subclientId) {
  return std::to_string(static_cast<int64_t>(subclientId));
}

bool FaultInjected(Store& store, const char* name, const std::string& subject,
                   const char* function) {
  if (!store.HasFault(name, subject)) return false;
  PLATFORM_LOG_ERROR(function, "injected fault [%s] for [%s]", name, subject.c_str());
  return true;
}

}  // namespace localplatform
