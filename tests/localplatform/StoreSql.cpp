#include "StoreSql.h"

#include <stdexcept>

#include "SqliteDatabase.h"
#include "store/PgConnection.h"
#include "store/Schema.h"

namespace testsupport {

void ExecuteSql(const TempPlatform& platform, const char* sql) {
  switch (platform.kind()) {
    case StoreKind::kMemory:
      throw std::logic_error("a memory store has no connection but the process's");
    case StoreKind::kSqlite:
      storage::SqliteDatabase(platform.location(), localplatform::SqliteSchema()).Exec(sql);
      return;
    case StoreKind::kPostgres: {
      localplatform::PgConnection connection(platform.location(),
                                             localplatform::kDefaultCallDeadline);
      connection.Migrate(localplatform::PostgresSchema());
      connection.Exec(sql);
      return;
    }
  }
}

}  // namespace testsupport
