#pragma once
// Failures an administrator injects into the local platform's services, so
// that a caller's every failure path can be driven on a working platform.
// A fault is kept in the store (Store::SetFault) under the name of one
// service and, optionally, a scope: the one subject that service then fails
// for. Each service asks the store on every call, before its own work.

#include <string>
#include <vector>

#include "store/Store.h"

namespace localplatform {

// The fault names; the comment on each tells what fails and what its scope
// is compared with.
// App_ExecuteSP::executeStoredProcedure; the procedure id, in decimal.
constexpr char kFaultStoredProcedure[] = "stored-procedure";
// ZRClient::getNetworkHostname and getNetworkHostnameMangled; the client name.
constexpr char kFaultClientHostName[] = "client-host-name";
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

struct FaultKind {
  const char* name;
  const char* fails;    // what fails, in words
  const char* subject;  // what a scope names
};

// Every fault the platform knows, in the order above.
const std::vector<FaultKind>& FaultKinds();

// A subclient id as a scope names it: signed decimal, as it was configured.
std::string SubclientSubject(unsigned long subclientId);

// True when `store` holds fault `name` for every subject or for `subject`;
// the injected failure is then logged at the error level under `function`.
// Throws StoreError.
bool FaultInjected(Store& store, const char* name, const std::string& subject,
                   const char* function);

}  // namespace localplatform
