#pragma once

#include <chrono>
#include <string>

#include "store/PgConnection.h"
#include "store/SqlStore.h"

namespace localplatform {

// The store in a PostgreSQL database, which the hosts of several machines
// share. A unit that writes runs at PostgreSQL's default isolation (read
// committed), in which a write that waited for another's row sees the row
// as the other left it: of two view list writes over one version exactly
// one changes a row. A unit that only reads sees one snapshot of the
// database (repeatable read).
class PgStore : public SqlStore<PgConnection, PgError> {
 public:
  // A store with a connection of its own to the database at `location`
  // (a connection URI or keyword string), its schema created or brought up
  // to date, every call bounded by `deadline`. Throws StoreError.
  PgStore(const std::string& location, std::chrono::seconds deadline);

  const std::string& Where() const override { return db().name(); }

  void PassGate() override;

 private:
  // The fault stamp the gate takes is read with the unit's beginning.
  void BeginUnit(bool writes, Gate gate) override;
  void EndUnit(const char* end) override;
};

}  // namespace localplatform
