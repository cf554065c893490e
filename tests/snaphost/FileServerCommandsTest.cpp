// snaphost's administration of file-server machines, view lists, exports
// and injected faults, run as the built program on a temporary platform
// store.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ViewRecordFormat.h"
#include "support/Builders.h"
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

// Showing a list is administration: it never writes to the plug-in's log,
// not even for a piece that lacks tags.
TEST_F(FileServerCommands, ShowsAViewListAsStoredAndParsedWithoutLogging) {
  const std::string record = testsupport::ViewRecord({"v_1", "/s-v_1", "srvA", "3", "100", "c1"});
  platform_.PutViewList(7, ";" + record + ";;<MntPath>/x</MntPath>");
  std::string header = "piece";
  for (const char* tag : formats::kViewRecordTags) header += std::string("\t") + tag;
  EXPECT_EQ(Run("views show 7"),
            "stored: ;" + record + ";;<MntPath>/x</MntPath>\n" + header +
                "\n"
                "1\t100\t/s-v_1\tc1\t*\t*\tv_1\tsrvA\t3\t0\t1\n"
                "2\t(missing)\t/x\t(missing)\t(missing)\t(missing)\t(missing)\t(missing)\t"
                "(missing)\t(missing)\t(missing)\n");
  EXPECT_FALSE(std::filesystem::exists(platform_.folder() + "/zrso.log"));
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
  EXPECT_TRUE(platform_.store().HasFault("view-list-write", "1001"));
  EXPECT_FALSE(platform_.store().HasFault("view-list-write", "1002"));
  EXPECT_TRUE(platform_.store().HasFault("server-start", "any.host"));
  int exitCode = 0;
  Run("fault set no-such-fault", exitCode);
  EXPECT_EQ(exitCode, 3);

  Run("fault clear server-start");
  EXPECT_EQ(Run("fault list"), "view-list-write\tsubclient id 1001\n");
  Run("fault clear");
  EXPECT_TRUE(platform_.store().ListFaults().empty());
}

}  // namespace
