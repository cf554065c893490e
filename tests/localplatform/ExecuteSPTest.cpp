// Stored procedures against the local management database.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "AppMgr.h"
#include "XmlMessages.h"
#include "appmgr/StoredProcedures.h"
#include "support/CapturingLogWriter.h"
#include "support/ShareMessages.h"
#include "support/TempPlatform.h"

namespace {

using namespace localplatform;

std::string ShareListRequest() {
  std::string xml;
  App::GetNFSShareReq().serialize(xml, false);
  return xml;
}

class ExecuteSP : public testing::Test {
 protected:
  int Run(unsigned long procedure, const std::string& request, std::string& response) {
    App_ExecuteSP executor;
    return executor.executeStoredProcedure(procedure, request, response, nullptr);
  }

  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture log_{-1};
};

TEST_F(ExecuteSP, ListsEveryShareInTheOrderAdded) {
  platform_.store().AddShare({"share2", "nfs02", int64_t{1} << 40});
  platform_.store().AddShare({"share1", "nfs01", 42});
  platform_.store().AddShare({"share2", "nfs01", -3});
  std::string response;
  ASSERT_EQ(kProcedureOk, Run(SP_GET_NFS_SHARES, ShareListRequest(), response));

  App::GetNFSShareResp parsed;
  ASSERT_EQ(0, parsed.unserialize(response));
  CNMessageList& shares = testsupport::ShareList(parsed);
  ASSERT_EQ(3u, shares.size());
  const char* expected[][2] = {{"share2", "nfs02"}, {"share1", "nfs01"}, {"share2", "nfs01"}};
  const int64_t ids[] = {int64_t{1} << 40, 42, -3};
  for (size_t i = 0; i < shares.size(); ++i) {
    EXPECT_EQ(expected[i][0], testsupport::ShareOf(*shares[i]));
    EXPECT_EQ(expected[i][1], testsupport::ClientNameOf(*shares[i]));
    EXPECT_EQ(ids[i], testsupport::SubclientOf(*shares[i]));
  }

  std::string again;
  ASSERT_EQ(kProcedureOk, Run(SP_GET_NFS_SHARES, ShareListRequest(), again));
  EXPECT_EQ(response, again);
}

TEST_F(ExecuteSP, AnEmptyDatabaseGivesAnEmptyList) {
  std::string response;
  ASSERT_EQ(kProcedureOk, Run(SP_GET_NFS_SHARES, ShareListRequest(), response));
  App::GetNFSShareResp parsed;
  ASSERT_EQ(0, parsed.unserialize(response));
  EXPECT_TRUE(testsupport::ShareList(parsed).empty());
}

TEST_F(ExecuteSP, RefusesAnUnknownProcedure) {
  std::string response = "untouched";
  EXPECT_EQ(kUnknownProcedure, Run(506208773, ShareListRequest(), response));
  EXPECT_EQ("untouched", response);
  EXPECT_EQ(1, log_->Count("unknown stored procedure [506208773]"));
}

TEST_F(ExecuteSP, RefusesARequestItCannotParse) {
  std::string responseText;
  App::GetNFSShareResp wrongType;
  std::string wrongRequest;
  wrongType.serialize(wrongRequest, false);
  for (const std::string& request : {std::string("garbage"), std::string(), wrongRequest}) {
    std::string response = "untouched";
    EXPECT_EQ(kBadRequest, Run(SP_GET_NFS_SHARES, request, response)) << request;
    EXPECT_EQ("untouched", response);
  }
}

TEST_F(ExecuteSP, FailsWhenTheStoreCannotBeRead) {
  platform_.MakeStoreUnreadable();
  std::string response = "untouched";
  EXPECT_EQ(kStoreUnavailable, Run(SP_GET_NFS_SHARES, ShareListRequest(), response));
  EXPECT_EQ("untouched", response);
  ASSERT_EQ(1u, log_->lines().size());
  EXPECT_EQ(-1, log_->lines()[0].level);
  EXPECT_EQ(0u, log_->lines()[0].message.find("platform store: "));
}

TEST_F(ExecuteSP, IsDestroyedThroughItsBase) {
  std::unique_ptr<AdaptersBase> executor = std::make_unique<App_ExecuteSP>();
  EXPECT_NE(nullptr, dynamic_cast<App_ExecuteSP*>(executor.get()));
}

}  // namespace
