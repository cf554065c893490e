#include "store/PgStore.h"

#include <memory>

#include "store/Schema.h"

namespace localplatform {
namespace {

std::unique_ptr<PgConnection> Connect(const std::string& location, std::chrono::seconds deadline) {
  try {
    auto connection = std::make_unique<PgConnection>(location, deadline);
    connection->Migrate(PostgresSchema());
    return connection;
  } catch (const PgError& error) {
    throw StoreError(std::string("open platform store: ") + error.what());
  }
}

}  // namespace

PgStore::PgStore(const std::string& location, std::chrono::seconds deadline)
    : SqlStore(Connect(location, deadline)) {}

void PgStore::BeginUnit(bool writes) {
  db().BeginUnit(writes ? "BEGIN" : "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY");
}

void PgStore::EndUnit(const char* end) { db().EndUnit(end); }

}  // namespace localplatform
