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

TEST_F(SnapCommand, ListsClientsAndSharesAsConfigured) {
  Configure();
  ASSERT_EQ(0, Snaphost({"client", "add", "nfs01", "nfs01b.example.test"}).exitCode);
  ASSERT_EQ(0, Snaphost({"share", "add", "share0", "nfs01", "9999999999"}).exitCode);

  Outcome clients = Snaphost({"client", "list"});
  EXPECT_EQ(0, clients.exitCode);
  EXPECT_TRUE(std::regex_search(clients.out, std::regex("nfs01 +nfs01b\\.example\\.test\n")));
  EXPECT_EQ(std::string::npos, clients.out.find("nfs01.example.test"));

  Outcome shares = Snaphost({"share", "list"});
  EXPECT_EQ(0, shares.exitCode);
  EXPECT_TRUE(
      std::regex_search(shares.out, std::regex("share1 +nfs01 +42\nshare0 +nfs01 +9999999999\n")))
      << shares.out;
}

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

TEST_F(SnapCommand, AFailedRecordFailsTheBatchAndShowsItsError) {
  Configure();
  Outcome run = Snaphost({"snap", "--share", "/share9", "--server", "nfs01.example.test"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_TRUE(std::regex_search(
      run.out, std::regex("6 snap failed +83006 +- +- +- +NFS Share not found in KT DB\\.\n")))
      << run.out;
  run = Snaphost({"snap", "--source-device", "{lunuuid:ab,targethostname:h}", "--json"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_NE(std::string::npos,
            run.out.find("\"errorCode\":83002,\"errorText\":\"objectStore name too short.\""))
      << run.out;
  std::vector<snaphost::SnapRecord> records = Records();
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(ZRSO::STATUS_SNAP_FAILED, records[0].status);
  EXPECT_EQ("{lunuuid:ab,targethostname:h}", records[1].sourceDevice);
}

TEST_F(SnapCommand, RefusesIncompleteOrConflictingArguments) {
  EXPECT_NE(0, Snaphost({"share", "add", "share1", "nfs01", "4x"}).exitCode);
  EXPECT_EQ(3, Snaphost({"snap"}).exitCode);
  EXPECT_NE(0, Snaphost({"snap", "--share", "/share1"}).exitCode);
  EXPECT_NE(0,
            Snaphost({"snap", "--share", "/s", "--server", "h", "--source-device", "{}"}).exitCode);
  EXPECT_NE(0, Snaphost({"snap", "--share", "/s", "--server", "h", "--count", "0"}).exitCode);
  EXPECT_TRUE(Records().empty());
}

}  // namespace
