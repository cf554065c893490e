// snaphost's administration of file-server machines, view lists, exports
// and injected faults, run as the built program on a temporary platform
// store.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/SnaphostProcess.h"
#include "support/TempPlatform.h"

namespace {

class FileServerCommands : public ::testing::Test {
 protected:
  // Runs snaphost on the test's store with space-separated `arguments`; its
  // standard output, and the exit code.
  std::string Run(const std::string& arguments, int& exitCode) {
    std::vector<std::string> args;
    std::istringstream words(arguments);
    for (std::string word; words >> word;) args.push_back(word);
    testsupport::SnaphostRun run = testsupport::RunSnaphost(platform_.folder(), args);
    exitCode = run.exitCode;
    return run.out;
  }
  std::string Run(const std::string& arguments) {
    int exitCode = 0;
    std::string output = Run(arguments, exitCode);
    EXPECT_EQ(exitCode, 0) << arguments;
    return output;
  }

  testsupport::TempPlatform platform_;
};

TEST_F(FileServerCommands, RegisterMarkAndListServers) {
  EXPECT_EQ(Run("server add hostB"), "hostB\tup\n");
  EXPECT_EQ(Run("server add hostA"), "hostA\tup\n");
  EXPECT_EQ(Run("server down hostB"), "hostB\tdown\n");
  EXPECT_EQ(Run("server list"), "hostA\tup\nhostB\tdown\n");
  EXPECT_EQ(Run("server up hostB"), "hostB\tup\n");

  int exitCode = 0;
  EXPECT_EQ(Run("server down hostC", exitCode), "");
  EXPECT_EQ(exitCode, 3);
}

TEST_F(FileServerCommands, ShowsAViewListAsStoredAndParsed) {
  const std::string record =
      "<SnapStart><ToTime>100</ToTime><MntPath>/s-v_1</MntPath><NFSClient>c1</NFSClient>"
      "<UID>*</UID><GID>*</GID><SnapName>v_1</SnapName><NFSServer>srvA</NFSServer>"
      "<CopyPrecedence>3</CopyPrecedence><ReadOnly>0</ReadOnly><WritablePIT>1</WritablePIT>"
      "</SnapStart>";
  platform_.PutViewList(7, ";" + record + ";;<MntPath>/x</MntPath>");
  EXPECT_EQ(
      Run("views show 7"),
      "stored: ;" + record +
          ";;<MntPath>/x</MntPath>\n"
          "piece\tToTime\tMntPath\tNFSClient\tUID\tGID\tSnapName\tNFSServer\tCopyPrecedence\t"
          "ReadOnly\tWritablePIT\n"
          "1\t100\t/s-v_1\tc1\t*\t*\tv_1\tsrvA\t3\t0\t1\n"
          "2\t(missing)\t/x\t(missing)\t(missing)\t(missing)\t(missing)\t(missing)\t(missing)\t"
          "(missing)\t(missing)\n");
}

TEST_F(FileServerCommands, ListsTheExportsOfEveryServer) {
  platform_.store().AddExport({"hostB", 7, "/s-v_2", 2, 0});
  platform_.store().AddExport({"hostA", 8, "/t-v_1", 2, 86400});
  EXPECT_EQ(Run("exports list"),
            "host\tsubclient\tmount path\ttype\texported at\n"
            "hostA\t8\t/t-v_1\t2\t1970-01-02T00:00:00Z\n"
            "hostB\t7\t/s-v_2\t2\t1970-01-01T00:00:00Z\n");
}

TEST_F(FileServerCommands, SetsListsAndClearsFaults) {
  EXPECT_EQ(Run("fault list"), "no fault is set\n");
  EXPECT_EQ(Run("fault set view-list-write --scope 1001"), "view-list-write\tsubclient id 1001\n");
  EXPECT_EQ(Run("fault set server-start"), "server-start\tevery host name\n");
  EXPECT_EQ(Run("fault set local-host-name"), "local-host-name\n");
  EXPECT_EQ(Run("fault set throw --scope view-list-read:1001"),
            "throw\tservice view-list-read:1001\n");
  for (const char* refused :
       {"fault set no-such-fault", "fault set local-host-name --scope h",
        "fault set throw --scope throw", "fault set throw --scope nothing:1"}) {
    int exitCode = 0;
    Run(refused, exitCode);
    EXPECT_EQ(exitCode, 3) << refused;
  }

  Run("fault clear server-start");
  EXPECT_EQ(Run("fault list"),
            "local-host-name\nthrow\tservice view-list-read:1001\n"
            "view-list-write\tsubclient id 1001\n");
  Run("fault clear");
  EXPECT_TRUE(platform_.store().ListFaults().empty());
}

}  // namespace
