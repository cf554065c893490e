#pragma once

#include <vector>

#include "SqliteDatabase.h"

namespace localplatform {

// The platform store's schema in each database, one step per version.
// Steps are only ever appended: a database written by an older build is
// brought forward by the steps it has not seen. Both hold the same tables
// and columns, which the store's statements (store/SqlStore.cpp) name.
const std::vector<storage::Migration>& SqliteSchema();
const std::vector<storage::Migration>& PostgresSchema();

}  // namespace localplatform
