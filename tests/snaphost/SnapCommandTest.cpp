// snaphost's administration and snap commands, run as the program itself
// with the plug-in it loads, in a fresh home folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "CopyIdKey.h"
#include "DeviceDescriptorFormat.h"
#include "RecordCatalogue.h"
#include "SnapCodes.h"
#include "SnapRecord.h"
#include "support/SnaphostProcess.h"
#include "support/TempPlatform.h"

namespace {

using Outcome = testsupport::SnaphostRun;

class SnapCommand : public testing::Test {
 protected:
  Outcome Snaphost(const std::vector<std::string>& args) {
    return testsupport::RunSnaphost(platform_.folder(), args);
  }

  void Configure() {
    ASSERT_EQ(0, Snaphost({"client", "add", "nfs01", "nfs01.example.test"}).exitCode);
    ASSERT_EQ(0, Snaphost({"share", "add", "share1", "nfs01", "42"}).exitCode);
  }

  std::vector<snaphost::SnapRecord> Records() {
    snaphost::RecordCatalogue catalogue(platform_.folder() + "/records.db");
    return catalogue.List();
  }

  testsupport::TempPlatform platform_;
};

TEST_F(SnapCommand, SnapsAShareAndKeepsTheRecords) {
  Configure();
  ASSERT_EQ(0, Snaphost({"copy-id", "set", "7", "5"}).exitCode);
  ASSERT_EQ(0, Snaphost({"copy-id", "set", "12", "4294967297"}).exitCode);
  Outcome run = Snaphost({"snap", "--share", "/share1/dir", "--server", "nfs01.example.test",
                          "--job", "7", "--count", "2", "--json"});
  EXPECT_EQ(0, run.exitCode) << run.out;
  std::regex record(
      "\\{\"id\":\"[0-9a-f-]{36}\",\"snapNumber\":[12],\"status\":5,\"statusText\":\"snapped\","
      "\"errorCode\":0,\"errorText\":\"\",\"snapTime\":\"[1-9][0-9]*\",\"shareSubclientId\":"
      "\"42\",\"sourceDevice\":\"[^\"]*\",\"snapDevice\":\"\"\\}");
  EXPECT_TRUE(std::regex_search(run.out, std::regex("^\\{\"result\":0,\"records\":\\[")));
  EXPECT_EQ(2, std::distance(std::sregex_iterator(run.out.begin(), run.out.end(), record),
                             std::sregex_iterator()))
      << run.out;

  std::vector<snaphost::SnapRecord> records = Records();
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(1, records[0].snapNumber);
  EXPECT_EQ(2, records[1].snapNumber);
  EXPECT_NE(records[0].id, records[1].id);
  EXPECT_EQ(formats::NfsDeviceDescriptor("/share1/dir", "nfs01.example.test"),
            records[0].sourceDevice);
  EXPECT_EQ(7, records[0].jobId);
  EXPECT_EQ(ZRSO::STATUS_SNAPPED, records[1].status);
  EXPECT_EQ("42", records[1].metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID]);

  // The copy id went to the job's first record; another job's is kept whole.
  uint64_t copyId = 0;
  EXPECT_FALSE(platform_.store().GetNumber(formats::kCopyIdSection, formats::CopyIdKey(7), copyId));
  ASSERT_TRUE(platform_.store().GetNumber(formats::kCopyIdSection, formats::CopyIdKey(12), copyId));
  EXPECT_EQ(4294967297u, copyId);

  // Numbers go on from the catalogue; without --json a row per record.
  run = Snaphost({"snap", "--share", "/share1", "--server", "nfs01.example.test"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_TRUE(std::regex_search(
      run.out, std::regex("\n[0-9a-f-]{36} +3 +5 snapped +0 +[1-9][0-9]* +42 +- *\n$")))
      << run.out;
}

}  // namespace
