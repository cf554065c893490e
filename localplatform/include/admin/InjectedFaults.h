#pragma once
// Failures an administrator injects into the local platform's services, so
// that a caller's every failure path can be driven on a working platform.
// A fault is kept in the store (Store::SetFault) under the name of one
// service and, optionally, a scope: the one subject that service then fails
// for. It fails every call, or one call by number, or every call from that
// number on; each process counts the calls each fault applies to from 1,
// from the first call that finds the fault set. A call finds out whether one
// is set without reading the faults.

#include <cstdint>
#include <string>
#include <vector>

#include "admin/AdminApi.h"
#include "admin/Store.h"

namespace localplatform {

// The fault names; the comment on each tells what fails and what its scope
// is compared with.
// App_ExecuteSP::executeStoredProcedure; the procedure id, in decimal.
constexpr char kFaultStoredProcedure[] = "stored-procedure";
// ZRClient::getNetworkHostname and getNetworkHostnameMangled; the client name.
constexpr char kFaultClientHostName[] = "client-host-name";
// Subclient::getVeskNFSServers; the subclient id, in decimal.
constexpr char kFaultSubclientServers[] = "subclient-servers";
// Subclient::getVeskViewConfiguration; the subclient id, in decimal.
constexpr char kFaultViewListRead[] = "view-list-read";
// Subclient::setVeskViewConfiguration; the subclient id, in decimal.
constexpr char kFaultViewListWrite[] = "view-list-write";
// Vesk::VeskConfigClient::StartVeskServerWithWait; the server's host name.
constexpr char kFaultServerStart[] = "server-start";
// Vesk::VeskConfigClient::BackupFSMExport, export and withdrawal alike; the
// subclient id, in decimal.
constexpr char kFaultExportCommand[] = "export-command";
// ZRPlatformInfo::getNumber (which then finds nothing), setNumber and
// deleteField; the key.
constexpr char kFaultInformationStore[] = "information-store";
// CLuIPAddr::GetLocalHost; no scope.
constexpr char kFaultLocalHostName[] = "local-host-name";
// Not a failure but an exception out of the call, of the service whose
// fault the scope names, for every subject ("view-list-read") or for one
// ("view-list-read:1001"); every service without a scope.
constexpr char kFaultThrow[] = "throw";

struct FaultKind {
  const char* name;
  const char* fails;    // what fails, in words
  const char* subject;  // what a scope names; null when the fault takes none
};

// Every fault the platform knows, in the order above.
ZRPLATFORM_ADMIN const std::vector<FaultKind>& FaultKinds();

// The kind named `name`, or null.
ZRPLATFORM_ADMIN const FaultKind* FindFaultKind(const std::string& name);

// Why `fault` cannot be set, or the empty text when it can: its name must
// be known, a fault without a subject takes no scope, and the scope of a
// throw names a service's fault.
ZRPLATFORM_ADMIN std::string FaultSettingError(const FaultRow& fault);

// A subclient id as a scope names it: signed decimal, as it was configured.
ZRPLATFORM_ADMIN std::string SubclientSubject(unsigned long subclientId);

}  // namespace localplatform
