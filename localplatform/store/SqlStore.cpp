#include "store/SqlStore.h"

#include <algorithm>

#include "SqliteDatabase.h"
#include "admin/StorableRows.h"
#include "store/PgConnection.h"
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

namespace {

// A list is handed out with room for a record more: a map appends one and
// writes the list back, and would otherwise copy it whole once more.
constexpr size_t kRoomForARecord = 4096;

std::string HandedOut(const std::string& list) {
  std::string copy;
  copy.reserve(list.size() + kRoomForARecord);
  copy.append(list);
  return copy;
}

// As kUpdateViewList, and only over the very list kept.
constexpr char kUpdateKeptViewList[] =
    "UPDATE view_lists SET version = version + 1, token = ?3 "
    "WHERE subclient_id = ?1 AND version = ?2 AND token = ?4";
constexpr char kInsertViewPiece[] =
    "INSERT INTO view_pieces (subclient_id, position, piece) VALUES (?1, ?2, ?3)";

}  // namespace

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Begin(bool writes, Gate gate) {
  StoreLock().lock();
  try {
    Translate("begin", [&] { BeginUnit(writes, std::move(gate)); });
    inUnit_ = true;
  } catch (...) {
    Rollback();  // of a unit its gate ended, or one that never began
    throw;
  }
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Commit() {
  Translate("commit", [&] { EndUnit("COMMIT"); });
  inUnit_ = false;
  StoreLock().unlock();
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::Rollback() noexcept {
  try {
    EndUnit("ROLLBACK");
  } catch (const DatabaseError&) {
    // Nothing was kept of the unit either way.
  }
  inUnit_ = false;
  ForgetViewLists();
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
    auto query = db().Reuse(kListShares);
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
StoredViewList SqlStore<Database, DatabaseError>::ReadViewPieces(uint64_t subclientId) {
  StoredViewList list;
  auto query = db().Reuse(
      "SELECT position, piece FROM view_pieces WHERE subclient_id = ?1 ORDER BY position");
  query.Bind(1, Bits(subclientId));
  while (query.Step()) list.Append(query.ColumnInt64(0), query.ColumnText(1));
  return list;
}

template <typename Database, typename DatabaseError>
StoredViewList SqlStore<Database, DatabaseError>::ForgetViewList(uint64_t subclientId) {
  StoredViewList forgotten;
  const auto kept = keptViewLists_.find(subclientId);
  if (kept != keptViewLists_.end()) {
    keptViewBytes_ -= kept->second.text.size();
    forgotten = std::move(kept->second);
    keptViewLists_.erase(kept);
  }
  return forgotten;
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::KeepViewList(uint64_t subclientId, StoredViewList list) {
  ForgetViewList(subclientId);
  if (list.text.size() > kKeptViewBytes) return;
  if (keptViewBytes_ + list.text.size() > kKeptViewBytes) {
    keptViewLists_.clear();
    keptViewBytes_ = 0;
  }
  keptViewBytes_ += list.text.size();
  keptViewLists_.emplace(subclientId, std::move(list));
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::ForgetViewLists() noexcept {
  keptViewLists_.clear();
  keptViewBytes_ = 0;
}

// The list's version and token come first: a list kept at both is the one
// stored, and the pieces are read only when it is not.
template <typename Database, typename DatabaseError>
VersionedViewList SqlStore<Database, DatabaseError>::ReadViewList(uint64_t subclientId) {
  return Translate("read view list", [&] {
    return Atomically(false, [&] {
      auto query = db().Reuse(kReadViewListVersion);
      query.Bind(1, Bits(subclientId));
      if (!query.Step()) return VersionedViewList();
      const int64_t version = query.ColumnInt64(0);
      const int64_t token = query.ColumnInt64(1);
      const auto kept = keptViewLists_.find(subclientId);
      if (kept != keptViewLists_.end() && kept->second.version == version &&
          kept->second.token == token) {
        return VersionedViewList{HandedOut(kept->second.text), version};
      }
      StoredViewList read = ReadViewPieces(subclientId);
      read.version = version;
      read.token = token;
      VersionedViewList list{HandedOut(read.text), version};
      KeepViewList(subclientId, std::move(read));
      return list;
    });
  });
}

template <typename Database, typename DatabaseError>
bool SqlStore<Database, DatabaseError>::TakeViewList(uint64_t subclientId, int64_t expectedVersion,
                                                     int64_t token, StoredViewList& stored) {
  if (expectedVersion == 0) {
    db().Reuse(
            "INSERT INTO view_lists (subclient_id, version, token) VALUES (?1, 1, ?2) "
            "ON CONFLICT (subclient_id) DO NOTHING")
        .Bind(1, Bits(subclientId))
        .Bind(2, token)
        .Run();
    return db().Changes() == 1;
  }
  const auto kept = keptViewLists_.find(subclientId);
  if (kept != keptViewLists_.end() && kept->second.version == expectedVersion) {
    db().Reuse(kUpdateKeptViewList)
        .Bind(1, Bits(subclientId))
        .Bind(2, expectedVersion)
        .Bind(3, token)
        .Bind(4, kept->second.token)
        .Run();
    if (db().Changes() == 1) {
      stored = ForgetViewList(subclientId);
      return true;
    }
  }
  db().Reuse(kUpdateViewList)
      .Bind(1, Bits(subclientId))
      .Bind(2, expectedVersion)
      .Bind(3, token)
      .Run();
  if (db().Changes() != 1) return false;
  // The list is this writer's now: its pieces are those of the version taken over.
  stored = ReadViewPieces(subclientId);
  return true;
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::StorePieces(uint64_t subclientId, const PieceEdit& edit,
                                                    const StoredViewList& stored) {
  if (edit.RemovesAny(stored)) {
    db().Reuse(
            "DELETE FROM view_pieces WHERE subclient_id = ?1 AND position > ?2 AND position < ?3")
        .Bind(1, Bits(subclientId))
        .Bind(2, edit.after)
        .Bind(3, edit.before)
        .Run();
  }
  for (size_t piece = 0; piece < edit.pieces.size(); ++piece) {
    db().Reuse(kInsertViewPiece)
        .Bind(1, Bits(subclientId))
        .Bind(2, edit.positions[piece])
        .Bind(3, std::string(edit.pieces[piece]))
        .Run();
  }
}

// Compare-and-swap on the version: of two writers that read the same
// version, exactly one succeeds. Only the pieces that changed are stored.
template <typename Database, typename DatabaseError>
bool SqlStore<Database, DatabaseError>::WriteViewList(uint64_t subclientId, const std::string& text,
                                                      int64_t expectedVersion) {
  CheckStorableViewList(text);
  return Translate("write view list", [&] {
    return Atomically(true, [&] {
      const int64_t token = static_cast<int64_t>(tokens_());
      StoredViewList stored;
      if (!TakeViewList(subclientId, expectedVersion, token, stored)) return false;
      const PieceEdit edit = EditViewPieces(stored, text);
      StorePieces(subclientId, edit, stored);
      StoredViewList written = edit.Applied(std::move(stored), text);
      written.version = expectedVersion + 1;
      written.token = token;
      KeepViewList(subclientId, std::move(written));
      return true;
    });
  });
}

template <typename Database, typename DatabaseError>
std::vector<std::pair<uint64_t, VersionedViewList>>
SqlStore<Database, DatabaseError>::ListViewLists() {
  return Translate("list view lists", [&] {
    std::vector<std::pair<uint64_t, VersionedViewList>> rows;
    auto query = db().Reuse(
        "SELECT view_lists.subclient_id, version, piece FROM view_lists "
        "LEFT JOIN view_pieces ON view_pieces.subclient_id = view_lists.subclient_id "
        "ORDER BY view_lists.subclient_id, position");
    while (query.Step()) {
      const uint64_t subclientId = Unsigned(query.ColumnInt64(0));
      if (rows.empty() || rows.back().first != subclientId) {
        rows.emplace_back(subclientId, VersionedViewList{"", query.ColumnInt64(1)});
      }
      rows.back().second.text += query.ColumnText(2);
    }
    return rows;
  });
}

template <typename Database, typename DatabaseError>
void SqlStore<Database, DatabaseError>::RestoreViewList(uint64_t subclientId,
                                                        const VersionedViewList& list) {
  CheckStorableViewList(list.text);
  Translate("restore view list", [&] {
    Atomically(true, [&] {
      db().Reuse(
              "INSERT INTO view_lists (subclient_id, version, token) VALUES (?1, ?2, ?3) "
              "ON CONFLICT (subclient_id) DO UPDATE "
              "SET version = excluded.version, token = excluded.token")
          .Bind(1, Bits(subclientId))
          .Bind(2, list.version)
          .Bind(3, static_cast<int64_t>(tokens_()))
          .Run();
      db().Reuse("DELETE FROM view_pieces WHERE subclient_id = ?1")
          .Bind(1, Bits(subclientId))
          .Run();
      const PieceEdit edit = EditViewPieces(StoredViewList(), list.text);
      StorePieces(subclientId, edit, StoredViewList());
      ForgetViewList(subclientId);
    });
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
