#include "store/PgStore.h"

#include <memory>
#include <utility>

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

void PgStore::BeginUnit(bool writes, Gate gate) {
  PgGate pgGate;
  if (gate) {
    pgGate.ahead = kReadFaultStamp;
    pgGate.check = [this, gate = std::move(gate)](PgStatement& stamp) {
      gate(Translate("list faults", [&] { return Stamp(stamp); }));
    };
  }
  db().BeginUnit(writes, std::move(pgGate));
}

void PgStore::PassGate() {
  Translate("begin", [&] { db().PassGate(); });
}

void PgStore::EndUnit(const char* end) { db().EndUnit(end); }

}  // namespace localplatform
