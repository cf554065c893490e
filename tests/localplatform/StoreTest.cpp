// The platform store's schema versions. What it stores is tested through
// the platform classes that use it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(PlatformStore, AShareIsConfiguredOncePerServer) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/platform.db";
  {
    const auto& steps = localplatform::PlatformSchema();
    storage::SqliteDatabase before(path, {steps.begin(), steps.begin() + 3});
    before.Exec(
        "INSERT INTO nfs_shares (share, server_client_name, subclient_id) VALUES "
        "('s', 'nas1', 1), ('s', 'nas2', 2), ('s', 'nas1', 3)");
  }
  SqliteStore store(path);
  std::vector<localplatform::ShareRow> shares = store.ListShares();
  ASSERT_EQ(shares.size(), 2u);  // the repeated row, which the lookup never reached, is gone
  EXPECT_EQ(shares[0].subclientId, 1);
  EXPECT_EQ(shares[1].subclientId, 2);
  EXPECT_THROW(store.AddShare({"s", "nas2", 4}), localplatform::StoreError);
}

}  // namespace
