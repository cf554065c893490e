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

SqliteStore::SqliteStore(const std::string& path) : SqlStore(Connect(path)) {}

void SqliteStore::BeginUnit(bool writes, Gate gate) {
  db().Reuse(writes ? "BEGIN IMMEDIATE" : "BEGIN").Run();
  if (gate) gate(FaultStamp());
}

void SqliteStore::EndUnit(const char* end) { db().Reuse(end).Run(); }

}  // namespace localplatform
