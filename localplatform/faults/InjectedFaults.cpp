#include "admin/InjectedFaults.h"

#include <algorithm>

namespace localplatform {

const std::vector<FaultKind>& FaultKinds() {
  static const std::vector<FaultKind> kKinds = {
      {kFaultStoredProcedure, "the management database's stored procedures", "procedure id"},
      {kFaultClientHostName, "a client's network host name", "client name"},
      {kFaultSubclientServers, "the NFS servers of a share subclient", "subclient id"},
      {kFaultViewListRead, "reading a share subclient's view list", "subclient id"},
      {kFaultViewListWrite, "writing a share subclient's view list", "subclient id"},
      {kFaultServerStart, "starting the NFS file-server service", "host name"},
      {kFaultExportCommand, "export and withdraw commands of the NFS file-server service",
       "subclient id"},
      {kFaultInformationStore, "the information store: a read finds nothing, a write fails", "key"},
      {kFaultLocalHostName, "the local host name", nullptr},
      {kFaultThrow,
       "the service whose fault the scope names, as NAME or NAME:SUBJECT, throws out of the "
       "call",
       "service"},
  };
  return kKinds;
}

const FaultKind* FindFaultKind(const std::string& name) {
  const auto& kinds = FaultKinds();
  auto found = std::find_if(kinds.begin(), kinds.end(),
                            [&](const FaultKind& kind) { return name == kind.name; });
  return found == kinds.end() ? nullptr : &*found;
}

std::string FaultSettingError(const FaultRow& fault) {
  const FaultKind* kind = FindFaultKind(fault.name);
  if (kind == nullptr) return "unknown fault [" + fault.name + "]";
  if (kind->subject == nullptr && !fault.scope.empty()) {
    return "fault [" + fault.name + "] takes no scope";
  }
  if (fault.name == kFaultThrow && !fault.scope.empty()) {
    const std::string service = fault.scope.substr(0, fault.scope.find(':'));
    const FaultKind* thrower = FindFaultKind(service);
    if (thrower == nullptr || service == kFaultThrow ||
        (thrower->subject == nullptr && service != fault.scope)) {
      return "the scope of [throw] names a service's fault, not [" + fault.scope + "]";
    }
  }
  return "";
}

std::string SubclientSubject(unsigned long subclientId) {
  return std::to_string(static_cast<int64_t>(subclientId));
}

}  // namespace localplatform
