// Check, create and delete of point-in-time views against the local
// platform, one outcome of each operation per test. An unmap whose list
// write loses a race is tested end to end (tests/endtoend).

#include <gtest/gtest.h>

#include <string>

#include "SnapCodes.h"
#include "VeskConfigClient.h"
#include "ViewCatalogue.h"
#include "support/Builders.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"

namespace {

constexpr int32_t kSubclient = 7;
const char kShare[] = "share1";
const char kReadFailure[] = "Failed to get PITview configuration for [share1]";
const char kWriteFailure[] = "Failed to set PITview configuration for [share1]";

// A record as Create below makes it.
std::string Record(const std::string& name, const std::string& mount, const std::string& server) {
  return testsupport::ViewRecord({name, mount, server});
}

class ViewCatalogue : public ::testing::Test {
 protected:
  std::string StoredList() { return platform_.store().ReadViewList(kSubclient).text; }
  int64_t StoredVersion() { return platform_.store().ReadViewList(kSubclient).version; }
  void Store(const std::string& list) { platform_.PutViewList(kSubclient, list); }
  // Another host replaces the list as soon as `message` is logged.
  void OverwriteOn(const std::string& message, const std::string& theirs) {
    capture_->OnMessage(message, [this, theirs] { Store(theirs); });
  }
  bool Exported(const std::string& host, const std::string& mount) {
    for (const localplatform::ExportRow& row : platform_.store().ListExports()) {
      if (row.hostName == host && row.mountPath == mount) return true;
    }
    return false;
  }
  void AddExport(const std::string& host, const std::string& mount) {
    platform_.store().AddExport({host, kSubclient, mount, EXPORT_TYPE_PIT_VIEW, 1});
  }

  int Check(const std::string& mount, bool& exists) {
    CheckPITViewArgs args{kShare, kSubclient, mount};
    return CheckPITView(args, exists, error_);
  }
  // toTime, nfsClient, uid, gid, snapName, mntPath, copyPrecedence, readOnly,
  // writablePit, nfsServerClientName, nfsServerHostName.
  int Create(const std::string& name, const std::string& mount, const std::string& server,
             const std::string& copy = "0") {
    CreatePITViewArgs args{kShare, kSubclient, "100", "client1", "*", "*", name, mount, copy,
                           "0", "1", server, ""};
    appended_ = true;
    return CreatePITView(args, error_, appended_);
  }
  int Delete(const std::string& mount) {
    DeletePITViewArgs args(kShare, mount, kSubclient);
    return DeletePITView(args, error_);
  }

  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture capture_{1};  // every message the catalogue writes
  std::string error_ = "untouched";
  bool appended_ = false;  // what the last Create reported
};

TEST_F(ViewCatalogue, CheckFindsTheFirstRecordWithTheMountPath) {
  bool exists = true;
  EXPECT_EQ(Check("/m", exists), 0);
  EXPECT_FALSE(exists);
  EXPECT_EQ(capture_->Count("INFO: There are no PITviews in given share [share1]."), 1);

  Store(Record("v_1", "/m", "srvA") + ";" + Record("v_2", "/m", "srvB") + ";no tags;");
  exists = true;
  EXPECT_EQ(Check("/other", exists), 0);
  EXPECT_FALSE(exists);
  EXPECT_EQ(
      capture_->Count("INFO: Given [/other] mount path is not found in Object Store PITView list."),
      1);
  capture_->clear();
  EXPECT_EQ(Check("/m", exists), 0);
  EXPECT_TRUE(exists);
  EXPECT_TRUE(capture_->lines().empty());  // never reached "no tags"
  EXPECT_EQ(error_, "untouched");
}

TEST_F(ViewCatalogue, EveryOperationReportsAListThatCannotBeRead) {
  Store(Record("v_1", "/m", "srvA") + ";");
  platform_.MakeStoreUnreadable();
  bool exists = true;
  EXPECT_EQ(Check("/m", exists), ZRSO::ERROR_VIEW_LIST_READ);
  EXPECT_TRUE(exists);
  EXPECT_EQ(error_, kReadFailure);
  error_.clear();
  EXPECT_EQ(Create("v_2", "/n", "srvA"), ZRSO::ERROR_VIEW_LIST_READ);
  EXPECT_EQ(error_, kReadFailure);
  EXPECT_FALSE(appended_);
  error_.clear();
  EXPECT_EQ(Delete("/m"), ZRSO::ERROR_VIEW_LIST_READ);
  EXPECT_EQ(error_, kReadFailure);
  EXPECT_EQ(capture_->Count("ERROR: Failed to get current list of PITViews."), 3);
  EXPECT_EQ(StoredList(), Record("v_1", "/m", "srvA") + ";");
}

TEST_F(ViewCatalogue, CreateAppendsANewNameAndWritesNothingForAListedOne) {
  EXPECT_EQ(Create("v_1", "/m1", "srvA"), 0);
  EXPECT_TRUE(appended_);
  EXPECT_EQ(StoredList(), Record("v_1", "/m1", "srvA") + ";");
  EXPECT_EQ(Create("v_2", "/m1", "srvA"), 0);  // one mount path, two names
  EXPECT_TRUE(appended_);
  const std::string both = Record("v_1", "/m1", "srvA") + ";" + Record("v_2", "/m1", "srvA") + ";";
  EXPECT_EQ(StoredList(), both);
  EXPECT_EQ(capture_->Count("Copy ID [0]"), 2);

  int64_t version = StoredVersion();
  EXPECT_EQ(Create("v_2", "/m2", "srvB"), 0);
  EXPECT_FALSE(appended_);
  EXPECT_EQ(StoredVersion(), version);
  EXPECT_EQ(capture_->Count("INFO: PITView name [v_2] already present. No need to create again."),
            1);
  EXPECT_EQ(capture_->Count("Copy ID [0]"), 2);
  EXPECT_EQ(error_, "untouched");
}

TEST_F(ViewCatalogue, CreateSeparatesTheNewRecordFromAnUnterminatedList) {
  Store(";" + Record("v_1", "/m1", "srvA"));
  EXPECT_EQ(Create("v_2", "/m2", "srvA"), 0);
  EXPECT_EQ(StoredList(),
            ";" + Record("v_1", "/m1", "srvA") + ";" + Record("v_2", "/m2", "srvA") + ";");
  bool exists = false;
  EXPECT_EQ(Check("/m2", exists), 0);
  EXPECT_TRUE(exists);
}

TEST_F(ViewCatalogue, CreateRefusesValuesThatWouldBreakTheList) {
  Store(Record("v_1", "/m1", "srvA") + ";");
  int64_t version = StoredVersion();
  for (const std::string bad : {"a;b", "a<b"}) {
    SCOPED_TRACE(bad);
    capture_->clear();
    for (int field = 0; field < 3; ++field) {
      error_.clear();
      EXPECT_EQ(Create(field == 0 ? bad : "v_2", "/m2", field == 1 ? bad : "srvA",
                       field == 2 ? bad : "0"),
                ZRSO::ERROR_VIEW_LIST_WRITE);
      EXPECT_FALSE(appended_);
      EXPECT_EQ(error_, kWriteFailure);
    }
    EXPECT_EQ(capture_->CountContaining("[" + bad + "]"), 3);
    for (const testsupport::LogLine& line : capture_->lines()) EXPECT_EQ(line.level, -1);
  }
  EXPECT_EQ(StoredVersion(), version);
}

TEST_F(ViewCatalogue, CreateLosesARaceWithoutLosingTheOtherChange) {
  Store(Record("v_1", "/m1", "srvA") + ";");
  const std::string theirs =
      Record("v_1", "/m1", "srvA") + ";" + Record("v_9", "/m9", "srvA") + ";";
  OverwriteOn("Copy ID [0]", theirs);
  EXPECT_EQ(Create("v_2", "/m2", "srvA"), ZRSO::ERROR_VIEW_LIST_WRITE);
  EXPECT_FALSE(appended_);
  EXPECT_EQ(error_, kWriteFailure);
  EXPECT_EQ(capture_->Count("ERROR: Failed to update PITVIews list for object store [share1]."), 1);
  EXPECT_EQ(StoredList(), theirs);
}

TEST_F(ViewCatalogue, DeleteOnAnEmptyListOrOfAnUnlistedMountPathDoesNothing) {
  EXPECT_EQ(Delete("/m"), 0);
  EXPECT_EQ(StoredVersion(), 0);
  EXPECT_EQ(capture_->Count("ERROR: There is no PITViews to delete."), 1);

  platform_.AddNfsServer("srvA", "hostA");
  AddExport("hostA", "/m1");
  Store(Record("v_1", "/m1", "srvA") + ";");
  int64_t version = StoredVersion();
  EXPECT_EQ(Delete("/other"), 0);
  EXPECT_EQ(StoredVersion(), version);
  EXPECT_TRUE(Exported("hostA", "/m1"));
  EXPECT_EQ(
      capture_->Count(
          "INFO: Given [/other] mount path is not found in Object Store snap. Nothing to delete."),
      1);
  EXPECT_EQ(error_, "untouched");
}

TEST_F(ViewCatalogue, DeleteOfTheOnlyRecordLeavesTheEmptyList) {
  Store(Record("v_1", "/m1", "") + ";");
  EXPECT_EQ(Delete("/m1"), 0);
  EXPECT_EQ(StoredList(), "");
  EXPECT_EQ(StoredVersion(), 2);
  EXPECT_EQ(
      capture_->Count("DEBUG: NFSServer is not set in the PITView [/m1]. Will skip Vesk request."),
      1);
}

TEST_F(ViewCatalogue, DeleteWithdrawsEveryMatchingExportBeforeWritingOnce) {
  platform_.AddNfsServer("srvA", "hostA");
  platform_.AddNfsServer("srvB", "hostB");
  AddExport("hostA", "/m1");
  AddExport("hostB", "/m1");
  const std::string original = Record("v_1", "/m1", "srvA") + ";" + Record("v_2", "/m2", "srvA") +
                               ";" + Record("v_3", "/m1", "srvB") + ";";
  Store(original);
  std::string listDuringLastWithdraw;
  capture_->OnMessage("Launched Vesk server [srvB] successfully",
                      [&] { listDuringLastWithdraw = StoredList(); });

  EXPECT_EQ(Delete("/m1"), 0);
  EXPECT_EQ(listDuringLastWithdraw, original);
  EXPECT_FALSE(Exported("hostA", "/m1"));
  EXPECT_FALSE(Exported("hostB", "/m1"));
  EXPECT_EQ(StoredList(), Record("v_2", "/m2", "srvA") + ";");
  EXPECT_EQ(StoredVersion(), 2);
  EXPECT_EQ(error_, "untouched");
}

TEST_F(ViewCatalogue, DeleteDropsTheRecordWhenTheWithdrawalFails) {
  platform_.AddNfsServer("srvA", "hostA", /*up=*/false);
  Store(";" + Record("v_1", "/m1", "srvA") + ";;" + Record("v_2", "/m2", "srvA"));
  EXPECT_EQ(Delete("/m1"), 0);
  EXPECT_EQ(StoredList(), Record("v_2", "/m2", "srvA") + ";");
  EXPECT_EQ(capture_->Count("ERROR: Failed to launch Vesk server on [srvA]"), 1);  // it was tried
}

TEST_F(ViewCatalogue, DeleteKeepsAPieceWithoutAMountPathAfterAMatch) {
  platform_.AddNfsServer("srvA", "hostA");
  platform_.AddNfsServer("srvX", "hostX");
  AddExport("hostX", "/m1");
  const std::string damaged = "<SnapStart><NFSServer>srvX</NFSServer></SnapStart>";
  Store(Record("v_1", "/m1", "srvA") + ";" + damaged + ";");
  EXPECT_EQ(Delete("/m1"), 0);
  EXPECT_EQ(StoredList(), damaged + ";");
  EXPECT_TRUE(Exported("hostX", "/m1"));
}

}  // namespace
