#pragma once

#include <string>

#include "SqliteDatabase.h"
#include "store/SqlStore.h"

namespace localplatform {

// The store in one SQLite database file.
class SqliteStore : public SqlStore<storage::SqliteDatabase, storage::SqliteError> {
 public:
  // A store with a connection of its own to the database at `path`, created
  // when missing, its schema brought up to date. Throws StoreError.
  explicit SqliteStore(const std::string& path);

  const std::string& Where() const override { return db().path(); }

  void PassGate() override {}  // the gate ran in Begin

 private:
  void BeginUnit(bool writes, Gate gate) override;
  void EndUnit(const char* end) override;
};

}  // namespace localplatform
