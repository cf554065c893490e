// Snap details extraction from a record double, against the local platform.
// How the share lookup decides is NfsShareLookupTest's; here only what the
// extraction hands on.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CopyIdKey.h"
#include "SnapCodes.h"
#include "SnapDetails.h"
#include "support/Builders.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

using testsupport::FakeSnapInfo;

constexpr char kFunction[] =
    "ZRSO::ResultCode ExtractSnapDetails(ZRSO::SnapInfo*, std::string&, std::string&, "
    "std::string&, std::string&, int&, std::string&, std::string&)";
constexpr char kServer[] = "nfs-a.example.test";
const std::string kSource = testsupport::HostDescriptor("/share1/dir", kServer);
constexpr char kTime[] = "1765000000";
constexpr int kCallerId = -7;

// The seven outputs, each starting with a value the call must not leave by
// accident.
struct Details {
  std::string share = "share?";
  std::string mountPath = "mount?";
  std::string clientName;
  std::string hostName = "host?";
  int subclientId = kCallerId;
  std::string snapTime = "time?";
  std::string copyId = "copy?";
};

class SnapDetails : public testing::Test {
 protected:
  SnapDetails() {
    platform_.store().PutClient({"nfs01", kServer});
    platform_.store().AddShare({"share1", "nfs01", 42});
    record_.sourceDevice = kSource;
  }

  ZRSO::ResultCode Extract(Details& d) { return Extract(record_, d); }
  ZRSO::ResultCode Extract(FakeSnapInfo& record, Details& d) {
    return ExtractSnapDetails(&record, d.share, d.mountPath, d.clientName, d.hostName,
                              d.subclientId, d.snapTime, d.copyId);
  }

  void SetCopyId(int job, uint64_t value) {
    platform_.store().SetNumber(formats::kCopyIdSection, formats::CopyIdKey(job), value);
  }
  // Through the test's own connection, which stays usable when the
  // platform's store is made unreadable.
  bool HasCopyId(int job) {
    uint64_t value = 0;
    return platform_.store().GetNumber(formats::kCopyIdSection, formats::CopyIdKey(job), value);
  }

  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture log_{4};
  FakeSnapInfo record_;
};

TEST_F(SnapDetails, DerivesEveryDetailAndLogsEachAtItsLevel) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kTime;
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "99";
  record_.snapDevice = testsupport::HostDescriptor("/share1-uuid_7", "x");
  record_.jobId = -3;
  SetCopyId(-3, 0x1FFFFFFFFull);  // the low 32 bits, read as signed: -1
  SetCopyId(8, 12);

  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("share1", d.share);
  EXPECT_EQ("/share1-uuid_7", d.mountPath);
  EXPECT_EQ("nfs01", d.clientName);
  EXPECT_EQ(kServer, d.hostName);
  EXPECT_EQ(42, d.subclientId);
  EXPECT_EQ(kTime, d.snapTime);
  EXPECT_EQ("-1", d.copyId);
  EXPECT_EQ("42", record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID]);
  EXPECT_FALSE(record_.errorCode.has_value());
  EXPECT_FALSE(record_.status.has_value());
  EXPECT_FALSE(HasCopyId(-3));

  std::vector<std::pair<int, std::string>> own;
  for (const auto& line : log_->lines()) {
    if (line.function == kFunction) own.emplace_back(line.level, line.message);
  }
  std::vector<std::pair<int, std::string>> expected = {
      {4, "NFS share [share1]"},
      {4, "Snap shot time [1765000000]"},
      {4, "Share SubclientId [99]"},
      {4, "NFS server [nfs-a.example.test]"},
      {4, "NfsServerClientName [nfs01] NfsServerHostName [nfs-a.example.test]"},
      {1, "JOB ID [-3]"},
      {1, "Copy ID [-1]"},
  };
  EXPECT_EQ(expected, own);

  // The copy id is taken once: a second extraction for the job finds none,
  // and another job's entry stays.
  Details second;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(second));
  EXPECT_EQ("copy?", second.copyId);
  EXPECT_EQ(1, log_->lines().back().level);
  EXPECT_EQ("Copy ID not present.", log_->lines().back().message);
  EXPECT_TRUE(HasCopyId(8));
}

TEST_F(SnapDetails, WithoutAJobIdTheStoreIsNotAsked) {
  SetCopyId(0, 11);
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("copy?", d.copyId);
  EXPECT_EQ(1, log_->lines().back().level);
  EXPECT_EQ("JOB ID not present.", log_->lines().back().message);
  EXPECT_EQ(0, log_->CountContaining("Copy ID"));
  EXPECT_TRUE(HasCopyId(0));
}

// Every failure sets the record's error, logs it at level -1 and returns 1;
// the outputs hold what the steps before it wrote, and nothing else changes.
TEST_F(SnapDetails, EachFailureSetsTheErrorAndKeepsWhatFollowsIt) {
  struct Case {
    std::optional<std::string> sourceDevice;
    bool unreadableStore;
    int code;
    const char* text;
    const char* message;
    const char* share;
    const char* snapTime;
    int subclientId;
    const char* hostName;
  };
  const Case cases[] = {
      {std::nullopt, false, 61002, "Cant get source device.",
       "getSourceDevicev2() returned empty srcDevice", "share?", "time?", kCallerId, "host?"},
      {"{type:nfs,targethostname:h}", false, 61002, "lunuuid not presentin device name",
       "NFS share not found in source device [{type:nfs,targethostname:h}]", "share?", "time?",
       kCallerId, "host?"},
      {"{lunuuid:ab,targethostname:h}", false, 83002, "objectStore name too short.",
       "objectStore name [ab] name too short.", "ab", "time?", kCallerId, "host?"},
      {"{lunuuid:\\/share1}", false, 83007, "Cannot get NFS server hostname from device.",
       "NFS server not found in source device [{lunuuid:\\/share1}]", "share1", kTime, 77,
       "host?"},
      // The lookup's own code and text; it resets the identifier before
      // walking the share list, and not when the list cannot be had.
      {"{lunuuid:\\/share9,targethostname:nfs-a.example.test}", false, 83006,
       "NFS Share not found in KT DB.",
       "[share9] is not exported by NFS server [nfs-a.example.test]", "share9", kTime, 0, kServer},
      {kSource, true, 83005, "Failed to get list of configured NFS shares.",
       "[share1] is not exported by NFS server [nfs-a.example.test]", "share1", kTime, 77, kServer},
  };
  SetCopyId(7, 11);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    testsupport::ScopedCapture errors(-1);
    FakeSnapInfo record;
    record.sourceDevice = c.sourceDevice;
    record.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kTime;
    record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "77";
    record.snapDevice = "{lunuuid:\\/share1-uuid_7}";
    record.jobId = 7;
    if (c.unreadableStore) platform_.MakeStoreUnreadable();

    Details d;
    EXPECT_EQ(ZRSO::RESULT_FAILURE, Extract(record, d));
    EXPECT_EQ(c.code, record.errorCode);
    EXPECT_EQ(c.text, record.errorText);
    EXPECT_FALSE(record.status.has_value());
    EXPECT_EQ("77", record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID]);
    EXPECT_EQ(1, errors->Count(c.message));
    EXPECT_EQ(c.share, d.share);
    EXPECT_EQ(c.snapTime, d.snapTime);
    EXPECT_EQ(c.subclientId, d.subclientId);
    EXPECT_EQ(c.hostName, d.hostName);
    EXPECT_EQ("mount?", d.mountPath);
    EXPECT_EQ("copy?", d.copyId);
    EXPECT_TRUE(HasCopyId(7));
  }
}

// Seen on the failure path after it, where the lookup does not overwrite it.
TEST_F(SnapDetails, TheSubclientIdMetadataGivesItsLeadingDigits) {
  for (const auto& [text, subclientId] : std::vector<std::pair<const char*, int>>{
           {"-5", -5}, {"+7", 7}, {"12abc", 12}, {"abc", 0}, {"", kCallerId}}) {
    record_.sourceDevice = "{lunuuid:\\/share1}";
    record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = text;
    Details d;
    ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
    EXPECT_EQ(subclientId, d.subclientId) << "[" << text << "]";
  }
}

// The share is written before the lookup, which finds none of these.
TEST_F(SnapDetails, TheShareIsCutFromTheSourceDevice) {
  for (const auto& [lunuuid, share] : std::vector<std::pair<std::string, std::string>>{
           {"//share9/dir", "share9"},
           {"\\/share9/dir\\/x", "share9/dir"},
           {"\\/share9", "share9"},
           {"abc", "c"},
           {"\\/\\/x", ""}}) {
    SCOPED_TRACE(lunuuid);
    log_->clear();
    record_.sourceDevice = "{lunuuid:" + lunuuid + ",targethostname:h}";
    Details d;
    d.clientName = "nfs01";
    Extract(d);
    EXPECT_EQ(share, d.share);
    EXPECT_EQ(1, log_->Count("NFS share [" + share + "]"));
  }
}

// Without metadata 146 the extraction succeeds and the time stays the
// caller's.
TEST_F(SnapDetails, TheMountPathComesFromTheSnapDevice) {
  for (const auto& [snapDevice, mountPath] : std::vector<std::pair<std::string, std::string>>{
           {"{lunuuid:\\/share1\\/deeper}", "/share1\\/deeper"},
           {"", ""},
           // No lunuuid value, or an empty one: no mount path.
           {"{orutype:,type:nfs,targethostname:h}", ""},
           {"{lunuuid:,targethostname:h}", ""}}) {
    SCOPED_TRACE(snapDevice);
    record_.snapDevice = snapDevice;
    Details d;
    ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
    EXPECT_EQ(mountPath, d.mountPath);
    EXPECT_EQ("time?", d.snapTime);
  }
}

// Outputs passed as one string are written in the documented order, the last
// write winning; with one string for the server's host and client name the
// lookup starts from the host name.
TEST_F(SnapDetails, OutputsSharingAStringTakeTheLastWrite) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kTime;
  record_.snapDevice = "{lunuuid:\\/share1-uuid_7}";
  record_.jobId = 7;
  SetCopyId(7, 5);
  std::string shareAndMount, server = "unused", timeAndCopy;
  int subclientId = 0;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS,
            ExtractSnapDetails(&record_, shareAndMount, shareAndMount, server, server, subclientId,
                               timeAndCopy, timeAndCopy));
  EXPECT_EQ("/share1-uuid_7", shareAndMount);
  EXPECT_EQ("nfs01", server);
  EXPECT_EQ(42, subclientId);  // the lookup ran on the share
  EXPECT_EQ("5", timeAndCopy);
  EXPECT_EQ(1, log_->Count("NfsServerClientName [nfs01] NfsServerHostName [nfs01]"));
}

// A host that writes a length back into the capacity can neither shrink the
// next read nor make it overrun the buffer; nor can one that writes no
// terminator.
TEST_F(SnapDetails, AHostThatMisusesTheBufferCannotHarmTheReads) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kTime;
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "42";
  for (int16_t writtenBack : {0, -1, 32767}) {
    SCOPED_TRACE(writtenBack);
    log_->clear();
    record_.capacitiesSeen.clear();
    record_.capacityWrittenBack = writtenBack;
    Details d;
    ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
    EXPECT_EQ((std::vector<int16_t>{1023, 1023}), record_.capacitiesSeen);
    EXPECT_EQ(kTime, d.snapTime);
    EXPECT_EQ(1, log_->Count("Share SubclientId [42]"));
  }
  // One that fills the whole buffer still gives terminated text.
  record_.capacityWrittenBack.reset();
  record_.fillWholeBuffer = true;
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ(std::string(1023, 'x'), d.snapTime);
}

}  // namespace
