// Starting the NFS file-server service and sending it export commands,
// against the local platform's registered server machines.

#include <gtest/gtest.h>

#include <string>

#include "DeleteUserXMLString.h"
#include "NfsServerControl.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"
#include "vesk/VeskClientCount.h"

namespace {

constexpr unsigned long kSubclient = 7;

class NfsServerControl : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.AddNfsServer("srvA", "hostA");
    created_ = localplatform::VeskClientsCreated();
    destroyed_ = localplatform::VeskClientsDestroyed();
  }
  int64_t Created() const { return localplatform::VeskClientsCreated() - created_; }
  int64_t Destroyed() const { return localplatform::VeskClientsDestroyed() - destroyed_; }

  bool Send(const std::string& client, VeskOperationType operation, const std::string& mount,
            ExportType type = EXPORT_TYPE_PIT_VIEW) {
    std::string mountPath = mount, auxiliary;
    return SendCommandToNfsServer(client, type, operation, kSubclient, mountPath, auxiliary);
  }
  std::vector<std::string> ExportedPaths(const std::string& host) {
    std::vector<std::string> paths;
    for (const localplatform::ExportRow& row : platform_.store().ListExports()) {
      if (row.hostName == host && row.subclientId == kSubclient) paths.push_back(row.mountPath);
    }
    return paths;
  }

  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture capture_{4};
  int64_t created_ = 0;
  int64_t destroyed_ = 0;
};

using Paths = std::vector<std::string>;

TEST_F(NfsServerControl, AddsOnceAndWithdrawsAnExport) {
  testsupport::ScopedCapture notices(1);
  platform_.AddNfsServer("srvB", "hostB");
  EXPECT_TRUE(Send("srvA", OPERATION_ADD, "/s-v_1"));
  EXPECT_TRUE(Send("srvA", OPERATION_ADD, "/s-v_1"));
  EXPECT_TRUE(Send("srvA", OPERATION_ADD, "/s-v_2"));
  EXPECT_TRUE(Send("srvB", OPERATION_ADD, "/s-v_1"));
  EXPECT_EQ(ExportedPaths("hostA"), (Paths{"/s-v_1", "/s-v_2"}));
  EXPECT_GT(platform_.store().ListExports()[0].exportedAt, 0);

  EXPECT_TRUE(Send("srvA", OPERATION_DELETE, "/s-v_1"));
  EXPECT_EQ(ExportedPaths("hostA"), (Paths{"/s-v_2"}));
  EXPECT_EQ(ExportedPaths("hostB"), (Paths{"/s-v_1"}));
  EXPECT_EQ(Created(), 5);
  EXPECT_EQ(Destroyed(), 5);
  EXPECT_EQ(notices->Count("Launched Vesk server [srvA] successfully"), 4);
}

TEST_F(NfsServerControl, AnUnknownClientCreatesNoConfigurationClient) {
  auto* const untouched = reinterpret_cast<Vesk::VeskConfigClient*>(0x1);
  Vesk::VeskConfigClient* client = untouched;
  EXPECT_FALSE(StartVeskServer("nobody", client));
  EXPECT_EQ(client, untouched);

  capture_->clear();
  EXPECT_FALSE(Send("nobody", OPERATION_ADD, "/s-v_1"));
  ASSERT_EQ(capture_->lines().size(), 2u);
  EXPECT_EQ(capture_->lines()[0].message, "Failed to get hostname for clientname [nobody].");
  EXPECT_EQ(capture_->lines()[0].level, 1);
  EXPECT_EQ(capture_->lines()[1].message, "ERROR: Failed to launch Vesk server on [nobody]");
  EXPECT_EQ(capture_->lines()[1].level, -1);
  EXPECT_EQ(Created(), 0);
}

TEST_F(NfsServerControl, AServerThatIsDownOrUnregisteredIsNotStarted) {
  platform_.AddNfsServer("srvD", "hostD", /*up=*/false);
  platform_.store().PutClient({"plain", "hostP"});
  const std::pair<const char*, const char*> cases[] = {
      {"srvD", "Failed to launch Vesk server [srvD] err [NFS server machine [hostD] is down]"},
      {"plain",
       "Failed to launch Vesk server [plain] err [[hostP] is not a registered NFS server machine]"},
  };
  for (const auto& [name, logged] : cases) {
    SCOPED_TRACE(name);
    testsupport::ScopedCapture errors(-1);
    Vesk::VeskConfigClient* client = nullptr;
    EXPECT_FALSE(StartVeskServer(name, client));
    EXPECT_EQ(client, nullptr);
    EXPECT_EQ(errors->Count(logged), 1);

    EXPECT_FALSE(Send(name, OPERATION_ADD, "/s-v_1"));
    EXPECT_EQ(errors->Count("ERROR: Failed to launch Vesk server on [" + std::string(name) + "]"),
              1);
  }
  EXPECT_EQ(Created(), 4);
  EXPECT_EQ(Destroyed(), 4);
  EXPECT_TRUE(platform_.store().ListExports().empty());
}

TEST_F(NfsServerControl, ARefusedCommandStillFreesTheClient) {
  testsupport::ScopedCapture errors(-1);
  EXPECT_FALSE(Send("srvA", OPERATION_ADD, "/s-v_1", static_cast<ExportType>(1)));
  EXPECT_FALSE(Send("srvA", static_cast<VeskOperationType>(2), "/s-v_1"));
  EXPECT_EQ(errors->Count("ERROR: Failed to send export request to NFS server [srvA]"), 2);
  EXPECT_EQ(Created(), 2);
  EXPECT_EQ(Destroyed(), 2);
  EXPECT_TRUE(platform_.store().ListExports().empty());
}

TEST_F(NfsServerControl, AServerMarkedDownAfterItsStartRefusesTheCommand) {
  Vesk::VeskConfigClient* client = nullptr;
  ASSERT_TRUE(StartVeskServer("srvA", client));
  platform_.store().PutNfsServer({"hostA", false});
  std::string mountPath = "/s-v_1", auxiliary;
  EXPECT_NE(client->BackupFSMExport(EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, kSubclient, mountPath,
                                    auxiliary),
            0);
  delete client;
  EXPECT_EQ(Created(), Destroyed());
}

TEST(DeleteUserXMLString, ReplacesTheWholeText) {
  std::string xml = "<Earlier>content</Earlier>";
  DeleteUserXMLString(xml);
  EXPECT_EQ(xml,
            "<App_DeleteUserRequest><users><userEntity><userName/></userEntity><transferInfo>"
            "<newUser><userId/></newUser></transferInfo></users></App_DeleteUserRequest>");
}

}  // namespace
