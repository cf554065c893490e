#pragma once
// Tests that run on each store, SQLite and PostgreSQL, from one suite: its
// fixture derives from OnEachStore, and INSTANTIATE_ON_EACH_STORE makes an
// instance for each. The PostgreSQL instances are named PostgreSQL/...:
// ctest runs them on a throwaway cluster (run-on-postgresql.sh), and
// without a server they skip themselves, saying why.

#include <gtest/gtest.h>

#include <ostream>

#include "support/TempPlatform.h"

namespace testsupport {

inline void PrintTo(StoreKind kind, std::ostream* out) {
  *out << (kind == StoreKind::kSqlite ? "SQLite" : "PostgreSQL");
}

class OnEachStore : public ::testing::TestWithParam<StoreKind> {
 protected:
  void SetUp() override {
    if (!platform_.missing().empty()) GTEST_SKIP() << platform_.missing();
  }

  TempPlatform platform_{GetParam()};
};

}  // namespace testsupport

#define INSTANTIATE_ON_EACH_STORE(Suite)                                                  \
  INSTANTIATE_TEST_SUITE_P(SQLite, Suite, ::testing::Values(testsupport::StoreKind::kSqlite)); \
  INSTANTIATE_TEST_SUITE_P(PostgreSQL, Suite,                                             \
                           ::testing::Values(testsupport::StoreKind::kPostgres))
