#include "DirectListStatements.h"

#include "store/Schema.h"
#include "store/SqliteStore.h"

namespace bench {

DirectListStatements::DirectListStatements(const std::string& path)
    : db_(path, localplatform::SqliteSchema()),
      read_(db_.Prepare(localplatform::kReadViewList)),
      write_(db_.Prepare(localplatform::kUpdateViewList)) {
  db_.Exec(localplatform::SqliteStore::kPageCacheSetting);
}

bool DirectListStatements::ReadAndWrite(uint64_t subclientId, const std::string& list) {
  const int64_t subclient = static_cast<int64_t>(subclientId);
  read_.Bind(1, subclient);
  if (!read_.Step()) return false;
  readText_ = read_.ColumnText(0);
  const int64_t version = read_.ColumnInt64(1);
  read_.Reset();
  write_.Bind(1, subclient).Bind(2, list).Bind(3, version).Run();
  write_.Reset();
  return db_.Changes() == 1;
}

}  // namespace bench
