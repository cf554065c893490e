#pragma once
// Everything the local platform keeps, behind one small interface, so that
// either database, SQLite or PostgreSQL, stands behind the platform classes
// without touching them. Every operation is one self-contained unit of work
// unless it runs between Begin and Commit; a failure throws StoreError, and
// a row that no store keeps (admin/StorableRows.h) StoreRefusal.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "admin/AdminApi.h"
#include "admin/CallDeadline.h"

namespace localplatform {

class ZRPLATFORM_ADMIN StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A platform client: its client name and its network host name.
struct ClientRow {
  std::string name;
  std::string hostName;
};

// A configured NFS share, as the management database lists it.
struct ShareRow {
  std::string share;
  std::string serverClientName;
  int64_t subclientId = 0;
};

// A share subclient's view list with the version it was read at. Version 0
// means no list was ever stored.
struct VersionedViewList {
  std::string text;
  int64_t version = 0;
};

// A machine that runs the NFS file-server service, by host name.
struct NfsServerRow {
  std::string hostName;
  bool up = true;
};

// One export of a mount path by a file-server machine.
struct ExportRow {
  std::string hostName;
  uint64_t subclientId = 0;
  std::string mountPath;
  int exportType = 0;
  int64_t exportedAt = 0;  // seconds since the epoch
};

// A failure an administrator injected into one platform service: `name`
// names the service (admin/InjectedFaults.h), `scope` the one subject it
// fails for, or is empty for every subject. Of the service's calls within
// the scope, counted from 1 in each process, call `nth` fails, and with
// `onward` every call after it too: by default every call.
struct FaultRow {
  std::string name;
  std::string scope;
  int64_t nth = 1;
  bool onward = true;
};

class Store {
 public:
  virtual ~Store() = default;

  // Where the store is, as it may be shown: a SQLite file's path, or a
  // PostgreSQL database by host, port and database name.
  virtual const std::string& Where() const = 0;

  // One unit of work: what the operations between Begin and Commit change
  // is kept all or nothing. `writes` says whether any of them changes the
  // store. A unit that only reads sees one state of the store; in one that
  // writes, each operation sees what other units committed before it (on
  // SQLite, where writers take turns, that is one state too). While a unit
  // is open no other thread of the process works on the store. Rollback,
  // which never throws, ends a unit that was not committed.
  //
  // The unit's `gate`, when given, checks it before any of its work counts:
  // it is called with the fault stamp (FaultStamp) as the unit found it, and
  // what it throws ends the unit, kept nothing, and leaves through the call
  // it was run by. It runs before the answer of any operation of the unit is
  // handed out and at the latest by PassGate or Commit: on SQLite within
  // Begin; on PostgreSQL once the answers of the unit's first round trip to
  // the server are in, which carries the beginning, the stamp and the unit's
  // first statement at once.
  using Gate = std::function<void(int64_t faultStamp)>;
  virtual void Begin(bool writes, Gate gate) = 0;
  // Runs the gate of the open unit unless it ran.
  virtual void PassGate() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() noexcept = 0;

  // Management database.
  virtual void PutClient(const ClientRow& client) = 0;  // adds, or replaces the host name
  virtual std::vector<ClientRow> ListClients() = 0;
  virtual bool FindClientHost(const std::string& clientName, std::string& hostName) = 0;
  // Throws StoreError when the share is already configured on that server.
  virtual void AddShare(const ShareRow& share) = 0;
  // In the order the shares were added.
  virtual std::vector<ShareRow> ListShares() = 0;
  // A number that changes whenever the share list does, by whatever
  // connection, and that tells databases apart (it is random).
  virtual int64_t ShareListStamp() = 0;
  // The distinct server client names of the subclient's shares, in the
  // order the shares were added.
  virtual std::vector<std::string> ListServerClientNames(uint64_t subclientId) = 0;

  // Information store: numbers by section and key.
  virtual bool GetNumber(const std::string& section, const std::string& key, uint64_t& value) = 0;
  virtual void SetNumber(const std::string& section, const std::string& key, uint64_t value) = 0;
  virtual void DeleteNumber(const std::string& section, const std::string& key) = 0;
  // The section's numbers by key.
  virtual std::vector<std::pair<std::string, uint64_t>> ListNumbers(const std::string& section) = 0;
  virtual std::vector<std::string> ListNumberSections() = 0;

  // View configuration of share subclients.
  virtual VersionedViewList ReadViewList(uint64_t subclientId) = 0;
  // Replaces the list only if it is still at `expectedVersion`; false, with
  // nothing written, when another writer got there first.
  virtual bool WriteViewList(uint64_t subclientId, const std::string& text,
                             int64_t expectedVersion) = 0;
  // By subclient id.
  virtual std::vector<std::pair<uint64_t, VersionedViewList>> ListViewLists() = 0;
  // Stores `list` at its version, whatever the subclient's list was: for
  // moving a platform from one store to another, not for its users.
  virtual void RestoreViewList(uint64_t subclientId, const VersionedViewList& list) = 0;

  // NFS file-server machines and their exports.
  virtual void PutNfsServer(const NfsServerRow& server) = 0;  // adds, or sets up/down
  virtual std::vector<NfsServerRow> ListNfsServers() = 0;
  virtual bool FindNfsServer(const std::string& hostName, NfsServerRow& server) = 0;
  virtual void AddExport(const ExportRow& row) = 0;  // an existing export is kept
  virtual void DeleteExport(const std::string& hostName, uint64_t subclientId,
                            const std::string& mountPath) = 0;
  virtual std::vector<ExportRow> ListExports() = 0;

  // Injected faults.
  virtual void SetFault(const FaultRow& fault) = 0;  // replaces the calls of one already set
  // Clears every scope of fault `name`, or every fault when `name` is empty.
  virtual void ClearFaults(const std::string& name) = 0;
  // By name, then scope.
  virtual std::vector<FaultRow> ListFaults() = 0;
  // Like ShareListStamp, for the faults.
  virtual int64_t FaultStamp() = 0;

  // Removes everything the store holds.
  virtual void Clear() = 0;
};

// A unit of `store` (Store::Begin) that is rolled back unless committed.
class StoreUnit {
 public:
  StoreUnit(Store& store, bool writes, Store::Gate gate = nullptr) : store_(store) {
    store_.Begin(writes, std::move(gate));
  }
  StoreUnit(const StoreUnit&) = delete;
  StoreUnit& operator=(const StoreUnit&) = delete;
  ~StoreUnit() {
    if (!ended_) store_.Rollback();
  }
  void PassGate() { store_.PassGate(); }
  void Commit() {
    store_.Commit();
    ended_ = true;
  }

 private:
  Store& store_;
  bool ended_ = false;
};

// A store held in memory by the process's one connection to it: empty when
// the connection is made, gone when it closes. For the fuzz targets, which
// need a working platform but nothing kept.
constexpr char kMemoryStore[] = ":memory:";

// Whether `location` names a PostgreSQL database: a postgresql:// or
// postgres:// URI, or a libpq keyword string (a keyword and "=" first, as
// in "host=db1 dbname=zrso"). Anything else is a SQLite file's path.
ZRPLATFORM_ADMIN bool IsPostgresLocation(const std::string& location);

// A store with a connection of its own to `location`, its schema created or
// brought up to date; on PostgreSQL no call waits for it longer than
// `callDeadline` (admin/CallDeadline.h). Throws StoreError.
ZRPLATFORM_ADMIN std::unique_ptr<Store> ConnectStore(
    const std::string& location, std::chrono::seconds callDeadline = kDefaultCallDeadline);

// The store of the installed configuration (PlatformConfiguration.h),
// through the process's one connection to it (store/ProcessStore.h).
// Throws StoreError.
ZRPLATFORM_ADMIN std::shared_ptr<Store> OpenStore();

}  // namespace localplatform
