#pragma once
// The store's operations, written once in SQL that SQLite and PostgreSQL
// both take, over either database layer: `Database` is
// storage::SqliteDatabase or PgConnection, `DatabaseError` what it throws.
// The stores over each (SqliteStore, PgStore) add how a connection is made
// and the statements that begin and end a unit of work.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <type_traits>

#include "admin/Store.h"
#include "store/Statements.h"
#include "store/ViewPieces.h"

namespace localplatform {

// Held by every operation of every store of the process, and from Begin
// until the unit ends, so that the operations of no other thread land inside
// a unit and platform calls run one at a time, whichever store they use:
// what the platform keeps for the whole process (the share list answer)
// relies on it.
std::recursive_mutex& StoreLock();

template <typename Database, typename DatabaseError>
class SqlStore : public Store {
 public:
  // The lock taken here is held until the unit ends, so that the
  // operations of no other thread land inside it.
  void Begin(bool writes, Gate gate) override;
  void Commit() override;
  void Rollback() noexcept override;

  void PutClient(const ClientRow& client) override;
  std::vector<ClientRow> ListClients() override;
  bool FindClientHost(const std::string& clientName, std::string& hostName) override;
  void AddShare(const ShareRow& share) override;
  std::vector<ShareRow> ListShares() override;
  int64_t ShareListStamp() override;
  std::vector<std::string> ListServerClientNames(uint64_t subclientId) override;

  bool GetNumber(const std::string& section, const std::string& key, uint64_t& value) override;
  void SetNumber(const std::string& section, const std::string& key, uint64_t value) override;
  void DeleteNumber(const std::string& section, const std::string& key) override;
  std::vector<std::pair<std::string, uint64_t>> ListNumbers(const std::string& section) override;
  std::vector<std::string> ListNumberSections() override;

  VersionedViewList ReadViewList(uint64_t subclientId) override;
  bool WriteViewList(uint64_t subclientId, const std::string& text,
                     int64_t expectedVersion) override;
  std::vector<std::pair<uint64_t, VersionedViewList>> ListViewLists() override;
  void RestoreViewList(uint64_t subclientId, const VersionedViewList& list) override;

  void PutNfsServer(const NfsServerRow& server) override;
  std::vector<NfsServerRow> ListNfsServers() override;
  bool FindNfsServer(const std::string& hostName, NfsServerRow& server) override;
  void AddExport(const ExportRow& row) override;
  void DeleteExport(const std::string& hostName, uint64_t subclientId,
                    const std::string& mountPath) override;
  std::vector<ExportRow> ListExports() override;

  void SetFault(const FaultRow& fault) override;
  void ClearFaults(const std::string& name) override;
  std::vector<FaultRow> ListFaults() override;
  int64_t FaultStamp() override;

  void Clear() override;

 protected:
  explicit SqlStore(std::unique_ptr<Database> db) : db_(std::move(db)) {}

  // Runs `work` under StoreLock(); a failure of the database is thrown
  // as a StoreError that names `operation`.
  template <typename Work>
  auto Translate(const char* operation, Work work) -> decltype(work()) {
    std::lock_guard<std::recursive_mutex> lock(StoreLock());
    try {
      return work();
    } catch (const DatabaseError& error) {
      throw StoreError(std::string(operation) + ": " + error.what());
    }
  }

  Database& db() { return *db_; }
  const Database& db() const { return *db_; }

  // Begin a unit with its gate (Store::Begin), and end it with `end`,
  // COMMIT or ROLLBACK.
  virtual void BeginUnit(bool writes, Gate gate) = 0;
  virtual void EndUnit(const char* end) = 0;

  // The number a stamp query answers: its one row's, or 0 without one.
  template <typename Statement>
  static int64_t Stamp(Statement& query) {
    return query.Step() ? query.ColumnInt64(0) : 0;
  }

 private:
  // Runs `work` as a unit of its own unless one is open: the operations of
  // more than one statement are kept all or nothing outside a unit too.
  template <typename Work>
  auto Atomically(bool writes, Work work) -> decltype(work()) {
    if (inUnit_) return work();
    BeginUnit(writes, nullptr);
    try {
      if constexpr (std::is_void_v<decltype(work())>) {
        work();
        EndUnit("COMMIT");
      } else {
        auto result = work();
        EndUnit("COMMIT");
        return result;
      }
    } catch (...) {
      ForgetViewLists();
      try {
        EndUnit("ROLLBACK");
      } catch (const DatabaseError&) {
        // Nothing was kept of the unit either way.
      }
      throw;
    }
  }

  StoredViewList ReadViewPieces(uint64_t subclientId);
  // Takes the list over at `expectedVersion` for a write: false when it is
  // no longer there; `stored` is then the list as it was.
  bool TakeViewList(uint64_t subclientId, int64_t expectedVersion, int64_t token,
                    StoredViewList& stored);
  void StorePieces(uint64_t subclientId, const PieceEdit& edit, const StoredViewList& stored);
  void KeepViewList(uint64_t subclientId, StoredViewList list);
  // The list kept of `subclientId`, no longer kept, or an empty one.
  StoredViewList ForgetViewList(uint64_t subclientId);
  void ForgetViewLists() noexcept;

  std::unique_ptr<Database> db_;
  bool inUnit_ = false;
  // The lists this connection last read or wrote, by subclient, each
  // checked against its version and token before it is used. Emptied when
  // a unit is rolled back; a list longer than the limit is not kept.
  static constexpr size_t kKeptViewBytes = 32 << 20;
  std::map<uint64_t, StoredViewList> keptViewLists_;
  size_t keptViewBytes_ = 0;
  std::mt19937_64 tokens_{std::random_device()()};
};

}  // namespace localplatform
