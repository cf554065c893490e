// The platform store's schema versions. What it stores is tested through
// the platform classes that use it.

#include <gtest/gtest.h>

#include <string>

#include "SqliteDatabase.h"
#include "store/Schema.h"
#include "store/SqliteStore.h"
#include "support/TempPlatform.h"

namespace {

using localplatform::SqliteStore;

TEST(PlatformStore, NewDatabaseGetsItsFolderAndTheCurrentSchema) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/nested/folder/platform.db";
  { SqliteStore store(path); }
  storage::SqliteDatabase raw(path, localplatform::PlatformSchema());
  EXPECT_EQ(raw.SchemaVersion(), static_cast<int>(localplatform::PlatformSchema().size()));
}

TEST(PlatformStore, DatabaseFromANewerBuildIsRefused) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/platform.db";
  { SqliteStore store(path); }
  {
    storage::SqliteDatabase raw(path, localplatform::PlatformSchema());
    raw.Exec("PRAGMA user_version=999");
  }
  try {
    SqliteStore store(path);
    FAIL() << "opened a database of schema version 999";
  } catch (const localplatform::StoreError& error) {
    EXPECT_NE(std::string(error.what()).find("newer than this build"), std::string::npos)
        << error.what();
  }
}

}  // namespace
