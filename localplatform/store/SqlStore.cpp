#include "store/SqlStore.h"

#include <algorithm>

#include "SqliteDatabase.h"
#include "store/PgConnection.h"
#include "store/StorableRows.h"
#include "store/StoreContents.h"

namespace localplatform {
namespace {

// The databases hold 64-bit signed integers; unsigned identifiers and
// numbers are stored by their bits and read back the same way.
int64_t Bits(uint64_t value) { return static_cast<int64_t>(value); }
uint64_t Unsigned(int64_t value) { return static_cast<uint64_t>(value); }

}  // namespace

// Never destroyed: stores may still be used while the process ends.
std::recursive_mutex& StoreLock() {
  static auto* lock = new std::recursive_mutex();
  return *lock;
}

const char kReadViewList[] = "SELECT list_text, version FROM view_lists WHERE subclient_id = ?1";
const char kUpdateViewList[] =
    "UPDATE view_lists SET list_text = ?2, version = version + 1 "
    "WHERE subclient_id = ?1 AND version = ?3";
const char kReadFaultStamp[] = "SELECT stamp FROM fault_stamp";

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Begin(bool writes, Gate gate) {
  StoreLock().lock();
  try {
    Translate("begin", [&] { BeginUnit(writes, std::move(gate)); });
  } catch (...) {
    Rollback();  // of a unit its gate ended, or one that never began
    throw;
  }
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Commit() {
  Translate("commit", [&] { EndUnit("COMMIT"); });
  StoreLock().unlock();
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Rollback() noexcept {
  try {
    EndUnit("ROLLBACK");
  } catch (const DatabaseError&) {
    // Nothing was kept of the unit either way.
  }
  StoreLock().unlock();
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::PutClient(const ClientRow& client) {
  CheckStorable(client);
  Translate("put client", [&] {
    db().Reuse(
            "INSERT INTO clients (name, host_name) VALUES (?1, ?2) "
            "ON CONFLICT (name) DO UPDATE SET host_name = excluded.host_name")
        .Bind(1, client.name)
        .Bind(2, client.hostName)
        .Run();
  });
}

template <typename Database, typename DatabaseError>
std::vector<ClientRow> SqlStore<Database, DatabaseError>::ListClients() {
  return Translate("list clients", [&] {
    std::vector<ClientRow> rows;
    auto query = db().Reuse("SELECT name, host_name FROM clients ORDER BY name");
    while (query.Step()) rows.push_back({query.ColumnText(0), query.ColumnText(1)});
    return rows;
  });
}

template <typename Database, typename DatabaseError>
bool SqlStore<Database, DatabaseError>::FindClientHost(const std::string& clientName,
                                                       std::string& hostName) {
  return Translate("find client", [&] {
    auto query = db().Reuse("SELECT host_name FROM clients WHERE name = ?1");
    query.Bind(1, clientName);
    if (!query.Step()) return false;
    hostName = query.ColumnText(0);
    return true;
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::AddShare(const ShareRow& share) {
  CheckStorable(share);
  Translate("add share", [&] {
    db().Reuse(
            "INSERT INTO nfs_shares (share, server_client_name, subclient_id) VALUES (?1, ?2, ?3)")
        .Bind(1, share.share)
        .Bind(2, share.serverClientName)
        .Bind(3, share.subclientId)
        .Run();
  });
}

template <typename Database, typename DatabaseError>
std::vector<ShareRow> SqlStore<Database, DatabaseError>::ListShares() {
  return Translate("list shares", [&] {
    std::vector<ShareRow> rows;
    auto query = db().Reuse(
        "SELECT share, server_client_name, subclient_id FROM nfs_shares ORDER BY position");
    while (query.Step())
      rows.push_back({query.ColumnText(0), query.ColumnText(1), query.ColumnInt64(2)});
    return rows;
  });
}

// Part of listing the shares, and reported as such when it fails.
template <typename Database, typename DatabaseError>
int64_t SqlStore<Database, DatabaseError>::ShareListStamp() {
  return Translate("list shares", [&] {
    auto query = db().Reuse("SELECT stamp FROM share_list_stamp");
    return Stamp(query);
  });
}

template <typename Database, typename DatabaseError>
std::vector<std::string> SqlStore<Database, DatabaseError>::ListServerClientNames(
    uint64_t subclientId) {
  return Translate("list servers of subclient", [&] {
    // A subclient's shares are on a handful of servers: the names are made
    // distinct here rather than by a grouping, which would sort them in a
    // table of its own.
    std::vector<std::string> names;
    auto query = db().Reuse(
        "SELECT server_client_name FROM nfs_shares WHERE subclient_id = ?1 ORDER BY position");
    query.Bind(1, Bits(subclientId));
    while (query.Step()) {
      std::string name = query.ColumnText(0);
      if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
      }
    }
    return names;
  });
}

template <typename Database, typename DatabaseError>
bool SqlStore<Database, DatabaseError>::GetNumber(const std::string& section,
                                                  const std::string& key, uint64_t& value) {
  return Translate("get number", [&] {
    auto query = db().Reuse("SELECT value FROM platform_info WHERE section = ?1 AND key = ?2");
    query.Bind(1, section).Bind(2, key);
    if (!query.Step()) return false;
    value = Unsigned(query.ColumnInt64(0));
    return true;
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::SetNumber(const std::string& section,
                                                  const std::string& key, uint64_t value) {
  CheckStorableNumber(section, key);
  Translate("set number", [&] {
    db().Reuse(
            "INSERT INTO platform_info (section, key, value) VALUES (?1, ?2, ?3) "
            "ON CONFLICT (section, key) DO UPDATE SET value = excluded.value")
        .Bind(1, section)
        .Bind(2, key)
        .Bind(3, Bits(value))
        .Run();
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::DeleteNumber(const std::string& section,
                                                     const std::string& key) {
  Translate("delete number", [&] {
    db().Reuse("DELETE FROM platform_info WHERE section = ?1 AND key = ?2")
        .Bind(1, section)
        .Bind(2, key)
        .Run();
  });
}

template <typename Database, typename DatabaseError>
std::vector<std::pair<std::string, uint64_t>> SqlStore<Database, DatabaseError>::ListNumbers(
    const std::string& section) {
  return Translate("list numbers", [&] {
    std::vector<std::pair<std::string, uint64_t>> rows;
    auto query = db().Reuse("SELECT key, value FROM platform_info WHERE section = ?1 ORDER BY key");
    query.Bind(1, section);
    while (query.Step()) rows.emplace_back(query.ColumnText(0), Unsigned(query.ColumnInt64(1)));
    return rows;
  });
}

template <typename Database, typename DatabaseError>
std::vector<std::string> SqlStore<Database, DatabaseError>::ListNumberSections() {
  return Translate("list numbers", [&] {
    std::vector<std::string> sections;
    auto query = db().Reuse("SELECT DISTINCT section FROM platform_info ORDER BY section");
    while (query.Step()) sections.push_back(query.ColumnText(0));
    return sections;
  });
}

template <typename Database, typename DatabaseError>
VersionedViewList SqlStore<Database, DatabaseError>::ReadViewList(uint64_t subclientId) {
  return Translate("read view list", [&] {
    VersionedViewList list;
    auto query = db().Reuse(kReadViewList);
    query.Bind(1, Bits(subclientId));
    if (query.Step()) list = {query.ColumnText(0), query.ColumnInt64(1)};
    return list;
  });
}

// Compare-and-swap on the version: of two writers that read the same
// version, exactly one succeeds.
template <typename Database, typename DatabaseError>
bool SqlStore<Database, DatabaseError>::WriteViewList(uint64_t subclientId, const std::string& text,
                                                      int64_t expectedVersion) {
  CheckStorableViewList(text);
  return Translate("write view list", [&] {
    if (expectedVersion == 0) {
      db().Reuse(
              "INSERT INTO view_lists (subclient_id, list_text, version) VALUES (?1, ?2, 1) "
              "ON CONFLICT (subclient_id) DO NOTHING")
          .Bind(1, Bits(subclientId))
          .Bind(2, text)
          .Run();
    } else {
      db().Reuse(kUpdateViewList)
          .Bind(1, Bits(subclientId))
          .Bind(2, text)
          .Bind(3, expectedVersion)
          .Run();
    }
    return db().Changes() == 1;
  });
}

template <typename Database, typename DatabaseError>
std::vector<std::pair<uint64_t, VersionedViewList>>
SqlStore<Database, DatabaseError>::ListViewLists() {
  return Translate("list view lists", [&] {
    std::vector<std::pair<uint64_t, VersionedViewList>> rows;
    auto query =
        db().Reuse("SELECT subclient_id, list_text, version FROM view_lists ORDER BY subclient_id");
    while (query.Step()) {
      rows.emplace_back(Unsigned(query.ColumnInt64(0)),
                        VersionedViewList{query.ColumnText(1), query.ColumnInt64(2)});
    }
    return rows;
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::RestoreViewList(uint64_t subclientId,
                                                        const VersionedViewList& list) {
  CheckStorableViewList(list.text);
  Translate("restore view list", [&] {
    db().Reuse(
            "INSERT INTO view_lists (subclient_id, list_text, version) VALUES (?1, ?2, ?3) "
            "ON CONFLICT (subclient_id) DO UPDATE "
            "SET list_text = excluded.list_text, version = excluded.version")
        .Bind(1, Bits(subclientId))
        .Bind(2, list.text)
        .Bind(3, list.version)
        .Run();
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::PutNfsServer(const NfsServerRow& server) {
  CheckStorable(server);
  Translate("put NFS server", [&] {
    db().Reuse(
            "INSERT INTO nfs_servers (host_name, up) VALUES (?1, ?2) "
            "ON CONFLICT (host_name) DO UPDATE SET up = excluded.up")
        .Bind(1, server.hostName)
        .Bind(2, int64_t{server.up ? 1 : 0})
        .Run();
  });
}

template <typename Database, typename DatabaseError>
std::vector<NfsServerRow> SqlStore<Database, DatabaseError>::ListNfsServers() {
  return Translate("list NFS servers", [&] {
    std::vector<NfsServerRow> rows;
    auto query = db().Reuse("SELECT host_name, up FROM nfs_servers ORDER BY host_name");
    while (query.Step()) rows.push_back({query.ColumnText(0), query.ColumnInt64(1) != 0});
    return rows;
  });
}

template <typename Database, typename DatabaseError>
bool SqlStore<Database, DatabaseError>::FindNfsServer(const std::string& hostName,
                                                      NfsServerRow& server) {
  return Translate("find NFS server", [&] {
    auto query = db().Reuse("SELECT host_name, up FROM nfs_servers WHERE host_name = ?1");
    query.Bind(1, hostName);
    if (!query.Step()) return false;
    server = {query.ColumnText(0), query.ColumnInt64(1) != 0};
    return true;
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::AddExport(const ExportRow& row) {
  CheckStorable(row);
  Translate("add export", [&] {
    db().Reuse(
            "INSERT INTO exports (host_name, subclient_id, mount_path, export_type, exported_at) "
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

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::DeleteExport(const std::string& hostName,
                                                     uint64_t subclientId,
                                                     const std::string& mountPath) {
  Translate("delete export", [&] {
    db().Reuse("DELETE FROM exports WHERE host_name = ?1 AND subclient_id = ?2 AND mount_path = ?3")
        .Bind(1, hostName)
        .Bind(2, Bits(subclientId))
        .Bind(3, mountPath)
        .Run();
  });
}

template <typename Database, typename DatabaseError>
std::vector<ExportRow> SqlStore<Database, DatabaseError>::ListExports() {
  return Translate("list exports", [&] {
    std::vector<ExportRow> rows;
    auto query = db().Reuse(
        "SELECT host_name, subclient_id, mount_path, export_type, exported_at FROM exports "
        "ORDER BY host_name, subclient_id, mount_path");
    while (query.Step()) {
      rows.push_back({query.ColumnText(0), Unsigned(query.ColumnInt64(1)), query.ColumnText(2),
                      static_cast<int>(query.ColumnInt64(3)), query.ColumnInt64(4)});
    }
    return rows;
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::SetFault(const FaultRow& fault) {
  CheckStorable(fault);
  Translate("set fault", [&] {
    db().Reuse(
            "INSERT INTO faults (name, scope, nth, onward) VALUES (?1, ?2, ?3, ?4) "
            "ON CONFLICT (name, scope) DO UPDATE SET nth = excluded.nth, onward = excluded.onward")
        .Bind(1, fault.name)
        .Bind(2, fault.scope)
        .Bind(3, fault.nth)
        .Bind(4, int64_t{fault.onward})
        .Run();
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::ClearFaults(const std::string& name) {
  Translate("clear faults", [&] {
    if (name.empty()) {
      db().Reuse("DELETE FROM faults").Run();
    } else {
      db().Reuse("DELETE FROM faults WHERE name = ?1").Bind(1, name).Run();
    }
  });
}

template <typename Database, typename DatabaseError>
std::vector<FaultRow> SqlStore<Database, DatabaseError>::ListFaults() {
  return Translate("list faults", [&] {
    std::vector<FaultRow> rows;
    auto query = db().Reuse("SELECT name, scope, nth, onward FROM faults ORDER BY name, scope");
    while (query.Step()) {
      rows.push_back({query.ColumnText(0), query.ColumnText(1), query.ColumnInt64(2),
                      query.ColumnInt64(3) != 0});
    }
    return rows;
  });
}

// Part of looking the faults up, and reported as such when it fails.
template <typename Database, typename DatabaseError>
int64_t SqlStore<Database, DatabaseError>::FaultStamp() {
  return Translate("list faults", [&] {
    auto query = db().Reuse(kReadFaultStamp);
    return Stamp(query);
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Clear() {
  Translate("clear", [&] {
    std::string statements;
    for (const ContentKind& kind : ContentKinds()) {
      for (auto table = kind.tables.rbegin(); table != kind.tables.rend(); ++table) {
        statements += std::string("DELETE FROM ") + *table + ";";
      }
    }
    db().Exec(statements.c_str());
  });
}

template class SqlStore<storage::SqliteDatabase, storage::SqliteError>;
template class SqlStore<PgConnection, PgError>;

}  // namespace localplatform
