#include "store/SqliteStore.h"

#include <memory>

#include "store/Schema.h"

namespace localplatform {
namespace {

std::unique_ptr<storage::SqliteDatabase> Connect(const std::string& path) {
  try {
    auto connection = std::make_unique<storage::SqliteDatabase>(path, SqliteSchema());
    connection->Exec(kSqlitePageCacheSetting);
    return connection;
  } catch (const storage::SqliteError& error) {
    throw StoreError(std::string("open platform store: ") + error.what());
  }
}

}  // namespace

// The page cache of a connection, in KiB (negative, as SQLite takes it). A
// view list of 10,000 views fills about 3 MB of pages and a rewrite touches
// the old pages and the new ones; the share table of 100,000 shares is
// another 3 MB. With SQLite's default of 2 MB every call would read most of
// such a list from the file again.

SqliteStore::SqliteStore(const std::string& path) : SqlStore(Connect(path)) {}

void SqliteStore::BeginUnit(bool writes, Gate gate) {
  db().Reuse(writes ? "BEGIN IMMEDIATE" : "BEGIN").Run();
  if (gate) gate(FaultStamp());
}

void SqliteStore::EndUnit(const char* end) { db().Reuse(end).Run(); }

}  // namespace localplatform
