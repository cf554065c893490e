// Stored procedures against the local management database.

#include <gtest/gtest.h>

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

// The shares it lists, in their order and with their 64-bit identifiers, are
// tested through the share lookup (NfsShareLookupTest.cpp).
TEST_F(ExecuteSP, AnEmptyDatabaseGivesAnEmptyList) {
  std::string response;
  ASSERT_EQ(kProcedureOk, Run(SP_GET_NFS_SHARES, ShareListRequest(), response));
  App::GetNFSShareResp parsed;
  ASSERT_EQ(0, parsed.unserialize(response));
  EXPECT_TRUE(testsupport::ShareList(parsed).empty());
}

TEST_F(ExecuteSP, RefusesWithoutTouchingTheResponse) {
  std::string wrongType;
  App::GetNFSShareResp().serialize(wrongType, false);
  struct Case { unsigned long procedure; std::string request; int code; };
  for (const Case& c : {Case{506208773, ShareListRequest(), kUnknownProcedure},
                        Case{SP_GET_NFS_SHARES, "garbage", kBadRequest},
                        Case{SP_GET_NFS_SHARES, "", kBadRequest},
                        Case{SP_GET_NFS_SHARES, wrongType, kBadRequest}}) {
    std::string response = "untouched";
    EXPECT_EQ(c.code, Run(c.procedure, c.request, response)) << c.request;
    EXPECT_EQ("untouched", response);
  }
  EXPECT_EQ(1, log_->Count("unknown stored procedure [506208773]"));

  log_->clear();
  platform_.MakeStoreUnreadable();
  std::string response = "untouched";
  EXPECT_EQ(kStoreUnavailable, Run(SP_GET_NFS_SHARES, ShareListRequest(), response));
  EXPECT_EQ("untouched", response);
  ASSERT_EQ(1u, log_->lines().size());
  EXPECT_EQ(-1, log_->lines()[0].level);
  EXPECT_EQ(0u, log_->lines()[0].message.find("platform store: "));
}

}  // namespace
