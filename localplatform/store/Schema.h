#pragma once

#include <vector>

#include "SqliteDatabase.h"

namespace localplatform {

// The platform store's schema, one step per version. Steps are only ever
// appended: a database written by an older build is brought forward by the
// steps it has not seen.
const std::vector<storage::Migration>& PlatformSchema();

}  // namespace localplatform
