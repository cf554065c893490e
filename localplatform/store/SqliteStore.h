#pragma once

#include <memory>
#include <string>

#include "SqliteDatabase.h"
#include "store/Store.h"

namespace localplatform {

// The store in one SQLite database file. Stores may share one connection;
// their operations never run at the same time.
class SqliteStore : public Store {
 public:
  // A store with a connection of its own to the database at `path`.
  explicit SqliteStore(const std::string& path);
  // A store working through `connection` (see Connect).
  explicit SqliteStore(std::shared_ptr<storage::SqliteDatabase> connection);

  // A connection to the database at `path`, created when missing, its
  // schema brought up to date. Throws StoreError.
  static std::shared_ptr<storage::SqliteDatabase> Connect(const std::string& path);

  const std::shared_ptr<storage::SqliteDatabase>& connection() const { return connection_; }

  // The page cache setting of every connection, and the statements of one
  // view list read and write.
  static const char kPageCacheSetting[];
  static const char kReadViewList[];
  static const char kUpdateViewList[];

  void Begin(bool writes) override;
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

  VersionedViewList ReadViewList(uint64_t subclientId) override;
  bool WriteViewList(uint64_t subclientId, const std::string& text,
                     int64_t expectedVersion) override;
  std::vector<std::pair<uint64_t, std::string>> ListViewLists() override;

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

 private:
  std::shared_ptr<storage::SqliteDatabase> connection_;
  storage::SqliteDatabase& db_;
};

}  // namespace localplatform
