#include "DirectListStatements.h"

#include <limits>

#include "admin/Store.h"
#include "store/Schema.h"
#include "store/Statements.h"

namespace bench {
namespace {

// A subclient no bench platform configures.
constexpr int64_t kFloorSubclient = std::numeric_limits<int64_t>::max();

}  // namespace

DirectListStatements::DirectListStatements(const std::string& path)
    : db_(path, localplatform::SqliteSchema()),
      read_(db_.Prepare(localplatform::kReadViewListVersion)),
      write_(db_.Prepare(localplatform::kUpdateViewList)) {
  db_.Exec(localplatform::kSqlitePageCacheSetting);
  localplatform::ConnectStore(path)->WriteViewList(kFloorSubclient, "", 0);
}

bool DirectListStatements::ReadAndWrite() {
  read_.Bind(1, kFloorSubclient);
  if (!read_.Step()) return false;
  const int64_t version = read_.ColumnInt64(0);
  const int64_t token = read_.ColumnInt64(1);
  read_.Reset();
  write_.Bind(1, kFloorSubclient).Bind(2, version).Bind(3, token + 1).Run();
  write_.Reset();
  return db_.Changes() == 1;
}

}  // namespace bench
