// The share list answer is served again only while the share table is
// unchanged: a change by any connection or process, or another store,
// gets a fresh answer. On each store; a process that forks makes a
// connection of its own.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "AppMgr.h"
#include "StoreSql.h"
#include "XmlMessages.h"
#include "admin/PlatformConfiguration.h"
#include "support/EachStore.h"
#include "support/ShareMessages.h"

namespace {

// The shares the stored procedure answers with, by name.
std::vector<std::string> AnsweredShares() {
  std::string request;
  App::GetNFSShareReq().serialize(request, false);
  std::string response;
  App_ExecuteSP executor;
  EXPECT_EQ(executor.executeStoredProcedure(SP_GET_NFS_SHARES, request, response, nullptr), 0);
  App::GetNFSShareResp parsed;
  EXPECT_EQ(parsed.unserialize(response), 0);
  std::vector<std::string> names;
  for (const auto& entry : testsupport::ShareList(parsed)) {
    names.push_back(testsupport::ShareOf(*entry));
  }
  return names;
}

using Names = std::vector<std::string>;

class ShareListCache : public testsupport::OnEachStore {};

TEST_P(ShareListCache, EveryChangeByAnotherConnectionIsAnswered) {
  platform_.store().AddShare({"m", "nas1", 1});
  ASSERT_EQ(AnsweredShares(), Names{"m"});

  // Answered in the order the shares were added, whatever their names.
  const struct {
    const char* change;
    Names answered;
  } cases[] = {
      {"INSERT INTO nfs_shares (share, server_client_name, subclient_id) VALUES ('b', 'nas1', 2)",
       {"m", "b"}},
      {"UPDATE nfs_shares SET share = 'c' WHERE share = 'b'", {"m", "c"}},
      {"DELETE FROM nfs_shares WHERE share = 'm'", {"c"}},
  };
  for (const auto& c : cases) {
    testsupport::ExecuteSql(platform_, c.change);
    EXPECT_EQ(AnsweredShares(), c.answered) << c.change;
  }
}

TEST_P(ShareListCache, AShareAddedByAnotherProcessIsAnswered) {
  platform_.store().AddShare({"a", "nas1", 1});
  ASSERT_EQ(AnsweredShares(), Names{"a"});
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    localplatform::OpenStore()->AddShare({"b", "nas1", 2});
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(AnsweredShares(), (Names{"a", "b"}));
}

TEST_P(ShareListCache, AnotherStoreGetsItsOwnAnswer) {
  platform_.store().AddShare({"first", "nas1", 1});
  ASSERT_EQ(AnsweredShares(), Names{"first"});
  testsupport::TempPlatform second(GetParam());
  second.store().AddShare({"second", "nas1", 1});
  EXPECT_EQ(AnsweredShares(), Names{"second"});
  localplatform::InstallConfiguration(platform_.configuration());
  EXPECT_EQ(AnsweredShares(), Names{"first"});
}

INSTANTIATE_ON_EACH_STORE(ShareListCache);

}  // namespace
