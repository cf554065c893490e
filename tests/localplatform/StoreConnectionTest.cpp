// The process's one store connection: kept across calls, made afresh when
// the store path changes, when the file there is replaced, and in a child
// process after fork.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "store/SqliteStore.h"
#include "store/Store.h"
#include "support/TempPlatform.h"

namespace {

using localplatform::OpenStore;
using localplatform::StoreConnectionsOpened;

std::string OnlyShare() {
  auto shares = OpenStore()->ListShares();
  return shares.size() == 1 ? shares[0].share : "(" + std::to_string(shares.size()) + " shares)";
}

TEST(StoreConnection, IsMadeOnceForEveryCallOnOnePath) {
  testsupport::TempPlatform platform;
  int64_t before = StoreConnectionsOpened();
  OpenStore()->AddShare({"s1", "nas1", 1});
  EXPECT_EQ(OnlyShare(), "s1");
  OpenStore()->PutClient({"nas1", "nas1.test"});
  EXPECT_EQ(StoreConnectionsOpened() - before, 1);
}

TEST(StoreConnection, IsMadeAfreshWhenThePathChanges) {
  testsupport::TempPlatform first;
  OpenStore()->AddShare({"first", "nas1", 1});
  testsupport::TempPlatform second;  // points the platform at itself
  OpenStore()->AddShare({"second", "nas1", 2});
  EXPECT_EQ(OnlyShare(), "second");
  setenv("ZRSO_PLATFORM_DB", (first.folder() + "/platform.db").c_str(), 1);
  EXPECT_EQ(OnlyShare(), "first");
}

TEST(StoreConnection, IsMadeAfreshWhenTheFileIsReplaced) {
  testsupport::TempPlatform platform;
  const std::string path = platform.folder() + "/platform.db";
  OpenStore()->AddShare({"old", "nas1", 1});
  for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
  localplatform::SqliteStore(path).AddShare({"new", "nas1", 2});
  EXPECT_EQ(OnlyShare(), "new");
}

TEST(StoreConnection, AChildProcessMakesItsOwn) {
  testsupport::TempPlatform platform;
  OpenStore()->AddShare({"parent", "nas1", 1});
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    int64_t inherited = StoreConnectionsOpened();
    OpenStore()->AddShare({"child", "nas1", 2});
    _exit(StoreConnectionsOpened() == inherited + 1 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  auto shares = OpenStore()->ListShares();
  ASSERT_EQ(shares.size(), 2u);
  EXPECT_EQ(shares[1].share, "child");
}

}  // namespace
