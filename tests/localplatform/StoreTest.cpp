// The platform store: schema versions, and the guarantees the platform
// classes build on.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "SqliteDatabase.h"
#include "store/Schema.h"
#include "store/SqliteStore.h"
#include "support/TempPlatform.h"

namespace {

using localplatform::SqliteStore;

TEST(PlatformStore, NewDatabaseGetsTheCurrentSchemaAndKeepsDataAcrossOpens) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/nested/folder/platform.db";
  {
    SqliteStore store(path);
    store.PutClient({"nas-client", "nas1.example"});
  }
  storage::SqliteDatabase raw(path, localplatform::PlatformSchema());
  EXPECT_EQ(raw.SchemaVersion(), static_cast<int>(localplatform::PlatformSchema().size()));
  SqliteStore again(path);
  std::string host;
  ASSERT_TRUE(again.FindClientHost("nas-client", host));
  EXPECT_EQ(host, "nas1.example");
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
    EXPECT_NE(std::string(error.what()).find("newer than this build"), std::string::npos) << error.what();
  }
}

TEST(PlatformStore, UnopenablePathIsAStoreError) {
  EXPECT_THROW(SqliteStore("/proc/no-such-folder/platform.db"), localplatform::StoreError);
}

TEST(PlatformStore, SharesListInTheOrderAdded) {
  testsupport::TempPlatform platform;
  auto& store = platform.store();
  store.AddShare({"zeta", "srv-b", 7});
  store.AddShare({"alpha", "srv-a", -3});
  store.AddShare({"zeta", "srv-a", int64_t{1} << 40});
  auto shares = store.ListShares();
  ASSERT_EQ(shares.size(), 3u);
  EXPECT_EQ(shares[0].share, "zeta");
  EXPECT_EQ(shares[1].subclientId, -3);
  EXPECT_EQ(shares[2].subclientId, int64_t{1} << 40);
}

TEST(PlatformStore, NumbersKeepAllSixtyFourBits) {
  testsupport::TempPlatform platform;
  auto& store = platform.store();
  uint64_t value = 0;
  EXPECT_FALSE(store.GetNumber("Ferrynode", "k", value));
  store.SetNumber("Ferrynode", "k", std::numeric_limits<uint64_t>::max());
  ASSERT_TRUE(store.GetNumber("Ferrynode", "k", value));
  EXPECT_EQ(value, std::numeric_limits<uint64_t>::max());
  EXPECT_FALSE(store.GetNumber("Other", "k", value));
  store.DeleteNumber("Ferrynode", "k");
  EXPECT_FALSE(store.GetNumber("Ferrynode", "k", value));
}

TEST(PlatformStore, ViewListWriteFailsWhenAnotherWriterCameFirst) {
  testsupport::TempPlatform platform;
  SqliteStore first(platform.folder() + "/platform.db");
  SqliteStore second(platform.folder() + "/platform.db");

  auto seenByFirst = first.ReadViewList(42);
  auto seenBySecond = second.ReadViewList(42);
  EXPECT_EQ(seenByFirst.version, 0);
  EXPECT_TRUE(first.WriteViewList(42, "A;", seenByFirst.version));
  EXPECT_FALSE(second.WriteViewList(42, "B;", seenBySecond.version));
  EXPECT_EQ(second.ReadViewList(42).text, "A;");

  auto current = second.ReadViewList(42);
  EXPECT_TRUE(second.WriteViewList(42, "A;B;", current.version));
  EXPECT_FALSE(first.WriteViewList(42, "lost", current.version));
  EXPECT_EQ(first.ReadViewList(42).text, "A;B;");
  EXPECT_EQ(first.ReadViewList(43).text, "");
}

TEST(PlatformStore, ExportsAreIdempotentPerHostSubclientAndPath) {
  testsupport::TempPlatform platform;
  auto& store = platform.store();
  store.AddExport({"nas1", 5, "/s-a_1", 2, 100});
  store.AddExport({"nas1", 5, "/s-a_1", 2, 200});
  store.AddExport({"nas2", 5, "/s-a_1", 2, 300});
  auto exports = store.ListExports();
  ASSERT_EQ(exports.size(), 2u);
  EXPECT_EQ(exports[0].exportedAt, 100);
  store.DeleteExport("nas1", 5, "/s-a_1");
  exports = store.ListExports();
  ASSERT_EQ(exports.size(), 1u);
  EXPECT_EQ(exports[0].hostName, "nas2");
}

TEST(PlatformStore, ServersAreMarkedUpAndDown) {
  testsupport::TempPlatform platform;
  auto& store = platform.store();
  localplatform::NfsServerRow server;
  EXPECT_FALSE(store.FindNfsServer("nas1", server));
  store.PutNfsServer({"nas1", true});
  store.PutNfsServer({"nas1", false});
  ASSERT_TRUE(store.FindNfsServer("nas1", server));
  EXPECT_FALSE(server.up);
  EXPECT_EQ(store.ListNfsServers().size(), 1u);
}

}  // namespace
