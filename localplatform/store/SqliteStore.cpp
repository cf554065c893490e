#include "store/SqliteStore.h"

#include <mutex>
#include <utility>

#include "store/Schema.h"

namespace localplatform {
namespace {

// SQLite holds 64-bit signed integers; unsigned identifiers and numbers are
// stored by their bits and read back the same way.
int64_t Bits(uint64_t value) { return static_cast<int64_t>(value); }
uint64_t Unsigned(int64_t value) { return static_cast<uint64_t>(value); }

// A connection may be shared by the stores of several threads; one
// operation at a time keeps each one's statements and change counts apart.
std::recursive_mutex g_operationMutex;

template <typename Work>
auto Translate(const char* operation, Work work) -> decltype(work()) {
  std::lock_guard<std::recursive_mutex> lock(g_operationMutex);
  try {
    return work();
  } catch (const storage::SqliteError& error) {
    throw StoreError(std::string(operation) + ": " + error.what());
  }
}

}  // namespace

// The page cache of a connection, in KiB (negative, as SQLite takes it). A
// view list of 10,000 views fills about 3 MB of pages and a rewrite touches
// the old pages and the new ones; the share table of 100,000 shares is
// another 3 MB. With SQLite's default of 2 MB every call would read most of
// such a list from the file again.
const char SqliteStore::kPageCacheSetting[] = "PRAGMA cache_size=-16384";

const char SqliteStore::kReadViewList[] =
    "SELECT list_text, version FROM view_lists WHERE subclient_id = ?1";
const char SqliteStore::kUpdateViewList[] =
    "UPDATE view_lists SET list_text = ?2, version = version + 1 "
    "WHERE subclient_id = ?1 AND version = ?3";

std::shared_ptr<storage::SqliteDatabase> SqliteStore::Connect(const std::string& path) {
  return Translate("open platform store", [&] {
    auto connection = std::make_shared<storage::SqliteDatabase>(path, PlatformSchema());
    connection->Exec(kPageCacheSetting);
    return connection;
  });
}

SqliteStore::SqliteStore(const std::string& path) : SqliteStore(Connect(path)) {}

SqliteStore::SqliteStore(std::shared_ptr<storage::SqliteDatabase> connection)
    : connection_(std::move(connection)), db_(*connection_) {}

// The lock taken here is held until the unit ends, so that the operations of
// no other thread land inside it.
void SqliteStore::Begin(bool writes) {
  g_operationMutex.lock();
  try {
    Translate("begin", [&] { db_.Reuse(writes ? "BEGIN IMMEDIATE" : "BEGIN").Run(); });
  } catch (...) {
    g_operationMutex.unlock();
    throw;
  }
}

void SqliteStore::Commit() {
  Translate("commit", [&] { db_.Reuse("COMMIT").Run(); });
  g_operationMutex.unlock();
}

void SqliteStore::Rollback() noexcept {
  try {
    db_.Reuse("ROLLBACK").Run();
  } catch (const storage::SqliteError&) {
    // Nothing was kept of the unit either way.
  }
  g_operationMutex.unlock();
}

void SqliteStore::PutClient(const ClientRow& client) {
  Translate("put client", [&] {
    db_.Reuse("INSERT INTO clients (name, host_name) VALUES (?1, ?2) "
              "ON CONFLICT (name) DO UPDATE SET host_name = excluded.host_name")
        .Bind(1, client.name)
        .Bind(2, client.hostName)
        .Run();
  });
}

std::vector<ClientRow> SqliteStore::ListClients() {
  return Translate("list clients", [&] {
    std::vector<ClientRow> rows;
    storage::Statement query = db_.Reuse("SELECT name, host_name FROM clients ORDER BY name");
    while (query.Step()) rows.push_back({query.ColumnText(0), query.ColumnText(1)});
    return rows;
  });
}

bool SqliteStore::FindClientHost(const std::string& clientName, std::string& hostName) {
  return Translate("find client", [&] {
    storage::Statement query = db_.Reuse("SELECT host_name FROM clients WHERE name = ?1");
    query.Bind(1, clientName);
    if (!query.Step()) return false;
    hostName = query.ColumnText(0);
    return true;
  });
}

void SqliteStore::AddShare(const ShareRow& share) {
  Translate("add share", [&] {
    db_.Reuse("INSERT INTO nfs_shares (share, server_client_name, subclient_id) VALUES (?1, ?2, ?3)")
        .Bind(1, share.share)
        .Bind(2, share.serverClientName)
        .Bind(3, share.subclientId)
        .Run();
  });
}

std::vector<ShareRow> SqliteStore::ListShares() {
  return Translate("list shares", [&] {
    std::vector<ShareRow> rows;
    storage::Statement query = db_.Reuse(
        "SELECT share, server_client_name, subclient_id FROM nfs_shares ORDER BY position");
    while (query.Step()) rows.push_back({query.ColumnText(0), query.ColumnText(1), query.ColumnInt64(2)});
    return rows;
  });
}

// Part of listing the shares, and reported as such when it fails.
int64_t SqliteStore::ShareListStamp() {
  return Translate("list shares", [&] {
    storage::Statement query = db_.Reuse("SELECT stamp FROM share_list_stamp");
    return query.Step() ? query.ColumnInt64(0) : 0;
  });
}

std::vector<std::string> SqliteStore::ListServerClientNames(uint64_t subclientId) {
  return Translate("list servers of subclient", [&] {
    std::vector<std::string> names;
    storage::Statement query = db_.Reuse(
        "SELECT server_client_name FROM nfs_shares WHERE subclient_id = ?1 "
        "GROUP BY server_client_name ORDER BY MIN(position)");
    query.Bind(1, Bits(subclientId));
    while (query.Step()) names.push_back(query.ColumnText(0));
    return names;
  });
}

bool SqliteStore::GetNumber(const std::string& section, const std::string& key, uint64_t& value) {
  return Translate("get number", [&] {
    storage::Statement query =
        db_.Reuse("SELECT value FROM platform_info WHERE section = ?1 AND key = ?2");
    query.Bind(1, section).Bind(2, key);
    if (!query.Step()) return false;
    value = Unsigned(query.ColumnInt64(0));
    return true;
  });
}

void SqliteStore::SetNumber(const std::string& section, const std::string& key, uint64_t value) {
  Translate("set number", [&] {
    db_.Reuse("INSERT INTO platform_info (section, key, value) VALUES (?1, ?2, ?3) "
              "ON CONFLICT (section, key) DO UPDATE SET value = excluded.value")
        .Bind(1, section)
        .Bind(2, key)
        .Bind(3, Bits(value))
        .Run();
  });
}

void SqliteStore::DeleteNumber(const std::string& section, const std::string& key) {
  Translate("delete number", [&] {
    db_.Reuse("DELETE FROM platform_info WHERE section = ?1 AND key = ?2")
        .Bind(1, section)
        .Bind(2, key)
        .Run();
  });
}

std::vector<std::pair<std::string, uint64_t>> SqliteStore::ListNumbers(const std::string& section) {
  return Translate("list numbers", [&] {
    std::vector<std::pair<std::string, uint64_t>> rows;
    storage::Statement query =
        db_.Prepare("SELECT key, value FROM platform_info WHERE section = ?1 ORDER BY key");
    query.Bind(1, section);
    while (query.Step()) rows.emplace_back(query.ColumnText(0), Unsigned(query.ColumnInt64(1)));
    return rows;
  });
}

VersionedViewList SqliteStore::ReadViewList(uint64_t subclientId) {
  return Translate("read view list", [&] {
    VersionedViewList list;
    storage::Statement query = db_.Reuse(kReadViewList);
    query.Bind(1, Bits(subclientId));
    if (query.Step()) list = {query.ColumnText(0), query.ColumnInt64(1)};
    return list;
  });
}

// Compare-and-swap on the version: of two writers that read the same
// version, exactly one succeeds.
bool SqliteStore::WriteViewList(uint64_t subclientId, const std::string& text,
                                int64_t expectedVersion) {
  return Translate("write view list", [&] {
    if (expectedVersion == 0) {
      db_.Reuse("INSERT INTO view_lists (subclient_id, list_text, version) VALUES (?1, ?2, 1) "
                "ON CONFLICT (subclient_id) DO NOTHING")
          .Bind(1, Bits(subclientId))
          .Bind(2, text)
          .Run();
    } else {
      db_.Reuse(kUpdateViewList)
          .Bind(1, Bits(subclientId))
          .Bind(2, text)
          .Bind(3, expectedVersion)
          .Run();
    }
    return db_.Changes() == 1;
  });
}

std::vector<std::pair<uint64_t, std::string>> SqliteStore::ListViewLists() {
  return Translate("list view lists", [&] {
    std::vector<std::pair<uint64_t, std::string>> rows;
    storage::Statement query =
        db_.Reuse("SELECT subclient_id, list_text FROM view_lists ORDER BY subclient_id");
    while (query.Step()) rows.emplace_back(Unsigned(query.ColumnInt64(0)), query.ColumnText(1));
    return rows;
  });
}

void SqliteStore::PutNfsServer(const NfsServerRow& server) {
  Translate("put NFS server", [&] {
    db_.Reuse("INSERT INTO nfs_servers (host_name, up) VALUES (?1, ?2) "
              "ON CONFLICT (host_name) DO UPDATE SET up = excluded.up")
        .Bind(1, server.hostName)
        .Bind(2, int64_t{server.up ? 1 : 0})
        .Run();
  });
}

std::vector<NfsServerRow> SqliteStore::ListNfsServers() {
  return Translate("list NFS servers", [&] {
    std::vector<NfsServerRow> rows;
    storage::Statement query = db_.Reuse("SELECT host_name, up FROM nfs_servers ORDER BY host_name");
    while (query.Step()) rows.push_back({query.ColumnText(0), query.ColumnInt64(1) != 0});
    return rows;
  });
}

bool SqliteStore::FindNfsServer(const std::string& hostName, NfsServerRow& server) {
  return Translate("find NFS server", [&] {
    storage::Statement query = db_.Reuse("SELECT host_name, up FROM nfs_servers WHERE host_name = ?1");
    query.Bind(1, hostName);
    if (!query.Step()) return false;
    server = {query.ColumnText(0), query.ColumnInt64(1) != 0};
    return true;
  });
}

void SqliteStore::AddExport(const ExportRow& row) {
  Translate("add export", [&] {
    db_.Reuse("INSERT INTO exports (host_name, subclient_id, mount_path, export_type, exported_at) "
              "VALUES (?1, ?2, ?3, ?4, ?5) "
              "ON CONFLICT (host_name, subclient_id, mount_path) DO NOTHING")
        .Bind(1, row.hostName)
        .Bind(2, Bits(row.subclientId))
        .Bind(3, row.mountPath)
        .Bind(4, int64_t{row.exportType})
        .Bind(5, row.exportedAt)
        .Run();
  });
}

void SqliteStore::DeleteExport(const std::string& hostName, uint64_t subclientId,
                               const std::string& mountPath) {
  Translate("delete export", [&] {
    db_.Reuse("DELETE FROM exports WHERE host_name = ?1 AND subclient_id = ?2 AND mount_path = ?3")
        .Bind(1, hostName)
        .Bind(2, Bits(subclientId))
        .Bind(3, mountPath)
        .Run();
  });
}

std::vector<ExportRow> SqliteStore::ListExports() {
  return Translate("list exports", [&] {
    std::vector<ExportRow> rows;
    storage::Statement query = db_.Reuse(
        "SELECT host_name, subclient_id, mount_path, export_type, exported_at FROM exports "
        "ORDER BY host_name, subclient_id, mount_path");
    while (query.Step()) {
      rows.push_back({query.ColumnText(0), Unsigned(query.ColumnInt64(1)), query.ColumnText(2),
                      static_cast<int>(query.ColumnInt64(3)), query.ColumnInt64(4)});
    }
    return rows;
  });
}

void SqliteStore::SetFault(const FaultRow& fault) {
  Translate("set fault", [&] {
    db_.Reuse("INSERT INTO faults (name, scope) VALUES (?1, ?2) ON CONFLICT DO NOTHING")
        .Bind(1, fault.name)
        .Bind(2, fault.scope)
        .Run();
  });
}

void SqliteStore::ClearFaults(const std::string& name) {
  Translate("clear faults", [&] {
    db_.Reuse("DELETE FROM faults WHERE ?1 = '' OR name = ?1").Bind(1, name).Run();
  });
}

std::vector<FaultRow> SqliteStore::ListFaults() {
  return Translate("list faults", [&] {
    std::vector<FaultRow> rows;
    storage::Statement query = db_.Reuse("SELECT name, scope FROM faults ORDER BY name, scope");
    while (query.Step()) rows.push_back({query.ColumnText(0), query.ColumnText(1)});
    return rows;
  });
}

// Part of looking the faults up, and reported as such when it fails.
int64_t SqliteStore::FaultStamp() {
  return Translate("list faults", [&] {
    storage::Statement query = db_.Reuse("SELECT stamp FROM fault_stamp");
    return query.Step() ? query.ColumnInt64(0) : 0;
  });
}

}  // namespace localplatform
