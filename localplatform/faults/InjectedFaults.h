#pragma once
// Failures an administrator injects into the local platform's services, so
// that a caller's every failure path can be driven on a working platform.
// A fault is kept in the store (Store::SetFault) under the name of one
// service and, optionally, a scope: the one subject that service then fails
// for. It fails every call, or one call by number, or every call from that
// number on; each process counts the calls each fault applies to from 1,
// from the first call that finds the fault set. A call finds out whether one
// is set without reading the faults (see FaultTable).

#include <cstdint>
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
const std::vector<FaultKind>& FaultKinds();

// The kind named `name`, or null.
const FaultKind* FindFaultKind(const std::string& name);

// Why `fault` cannot be set, or the empty text when it can: its name must
// be known, a fault without a subject takes no scope, and the scope of a
// throw names a service's fault.
std::string FaultSettingError(const FaultRow& fault);

// A subclient id as a scope names it: signed decimal, as it was configured.
std::string SubclientSubject(unsigned long subclientId);

// What the faults set make of one call.
enum class FaultEffect { kNone, kFails, kThrows };

// The faults set in one store, as of its fault stamp, with the calls each
// has counted in this process. Refresh is given the stamp, which the
// store reads as a unit begins (Store::Begin), and reads the faults only
// when it moved, which a fault set or cleared by any connection does; a
// fault set as before keeps its count. While none is set, looking one up
// reads nothing.
class FaultTable {
 public:
  // Throws StoreError.
  void Refresh(Store& store, int64_t stamp);
  // Counts a call of the service with fault `name` about `subject` with
  // each fault that applies to it, and tells what they make of it.
  FaultEffect CountCall(const char* name, const std::string& subject);

 private:
  struct Counted {
    FaultRow fault;
    int64_t calls = 0;
  };
  bool read_ = false;
  int64_t stamp_ = 0;
  std::vector<Counted> faults_;
};

}  // namespace localplatform
