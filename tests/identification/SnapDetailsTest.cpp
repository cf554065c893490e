// Snap details extraction from a record double, against the local platform.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/SnapCodes.h"
#include "identification/SnapDetails.h"
#include "platform/ZrLib.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

using testsupport::FakeSnapInfo;
using testsupport::ScopedCapture;

constexpr char kFunction[] =
    "ZRSO::ResultCode ExtractSnapDetails(ZRSO::SnapInfo*, std::string&, std::string&, "
    "std::string&, std::string&, int&, std::string&, std::string&)";
constexpr char kServer[] = "nfs-a.example.test";
constexpr char kSource[] =
    "{orutype:,type:nfs,lunuuid:\\/share1\\/dir,targethostname:nfs-a.example.test}";
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

std::string CopyIdKey(int job) { return "OBJSTORE_RESTORE_COPYID_" + std::to_string(job); }

class SnapDetails : public testing::Test {
 protected:
  SnapDetails() {
    platform_.store().PutClient({"nfs01", kServer});
    platform_.store().AddShare({"share1", "nfs01", 42});
    record_.sourceDevice = kSource;
  }

  ZRSO::ResultCode Extract(Details& d) {
    return ExtractSnapDetails(&record_, d.share, d.mountPath, d.clientName, d.hostName,
                              d.subclientId, d.snapTime, d.copyId);
  }

  bool HasCopyId(int job) {
    uint64_t value = 0;
    return ZRPlatformInfo().getNumber("Ferrynode", CopyIdKey(job), value) != 0;
  }

  testsupport::TempPlatform platform_;
  ScopedCapture log_{4};
  FakeSnapInfo record_;
};

TEST_F(SnapDetails, DerivesEveryDetail) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = "1765000000";
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "99";
  record_.snapDevice = "{orutype:,type:nfs,lunuuid:\\/share1-uuid_7,targethostname:x}";
  record_.jobId = 7;
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(7), 5000000000);  // low 32 bits: 705032704

  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("share1", d.share);
  EXPECT_EQ("/share1-uuid_7", d.mountPath);
  EXPECT_EQ("nfs01", d.clientName);
  EXPECT_EQ(kServer, d.hostName);
  EXPECT_EQ(42, d.subclientId);
  EXPECT_EQ("1765000000", d.snapTime);
  EXPECT_EQ("705032704", d.copyId);

  EXPECT_EQ("42", record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID]);
  EXPECT_FALSE(record_.errorCode.has_value());
  EXPECT_FALSE(record_.status.has_value());
  EXPECT_FALSE(HasCopyId(7));
}

TEST_F(SnapDetails, LogsEachDerivedValueAtItsLevel) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = "1765000000";
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "42";
  record_.jobId = 7;
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(7), 3);
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));

  std::vector<std::pair<int, std::string>> own;
  for (const auto& line : log_->lines()) {
    if (line.function == kFunction) own.emplace_back(line.level, line.message);
  }
  std::vector<std::pair<int, std::string>> expected = {
      {4, "NFS share [share1]"},
      {4, "Snap shot time [1765000000]"},
      {4, "Share SubclientId [42]"},
      {4, "NFS server [nfs-a.example.test]"},
      {4, "NfsServerClientName [nfs01] NfsServerHostName [nfs-a.example.test]"},
      {1, "JOB ID [7]"},
      {1, "Copy ID [3]"},
  };
  EXPECT_EQ(expected, own);
}

TEST_F(SnapDetails, TheCopyIdIsTakenOnce) {
  record_.jobId = 7;
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(7), 11);
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(8), 12);
  Details first;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(first));
  EXPECT_EQ("11", first.copyId);

  Details second;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(second));
  EXPECT_EQ("copy?", second.copyId);
  EXPECT_EQ(1, log_->Count("Copy ID not present."));
  EXPECT_TRUE(HasCopyId(8));
}

TEST_F(SnapDetails, TheCopyIdIsTheLow32BitsReadAsSigned) {
  record_.jobId = -3;
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(-3), 0x1FFFFFFFFull);
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("-1", d.copyId);
}

TEST_F(SnapDetails, WithoutAJobIdTheStoreIsNotAsked) {
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(0), 11);
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("copy?", d.copyId);
  EXPECT_EQ(1, log_->Count("JOB ID not present."));
  EXPECT_EQ(0, log_->CountContaining("Copy ID"));
  EXPECT_TRUE(HasCopyId(0));
}

TEST_F(SnapDetails, WithoutAnEntryForTheJobTheCopyIdStays) {
  record_.jobId = 7;
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("copy?", d.copyId);
  EXPECT_EQ(1, log_->Count("Copy ID not present."));
}

TEST_F(SnapDetails, WithoutSnapTimeTheCallerKeepsItsValue) {
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ("time?", d.snapTime);
}

struct MountCase {
  const char* snapDevice;
  const char* mountPath;
};

void PrintTo(const MountCase& c, std::ostream* os) { *os << "[" << c.snapDevice << "]"; }

class MountPath : public SnapDetails, public testing::WithParamInterface<MountCase> {};

TEST_P(MountPath, ComesFromTheSnapDevice) {
  record_.snapDevice = GetParam().snapDevice;
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ(GetParam().mountPath, d.mountPath);
}

INSTANTIATE_TEST_SUITE_P(SnapDevices, MountPath,
                         testing::ValuesIn(std::vector<MountCase>{
                             {"{orutype:,type:nfs,lunuuid:\\/share1-uuid_7,targethostname:h}",
                              "/share1-uuid_7"},
                             {"{lunuuid:\\/share1\\/deeper}", "/share1\\/deeper"},
                             {"", ""},
                             // No lunuuid value, or an empty one: no mount path.
                             {"{orutype:,type:nfs,targethostname:h}", ""},
                             {"{lunuuid:,targethostname:h}", ""},
                             {"garbage", ""},
                             {"{lunuuid:x}", ""},
                         }));

struct ShareCase {
  const char* lunuuid;
  const char* share;
};

void PrintTo(const ShareCase& c, std::ostream* os) { *os << c.lunuuid; }

class ShareName : public SnapDetails, public testing::WithParamInterface<ShareCase> {};

// The share is written before the lookup, which finds none of these.
TEST_P(ShareName, IsCutFromTheSourceDevice) {
  record_.sourceDevice = std::string("{lunuuid:") + GetParam().lunuuid + ",targethostname:h}";
  Details d;
  d.clientName = "nfs01";
  Extract(d);
  EXPECT_EQ(GetParam().share, d.share);
  EXPECT_EQ(1, log_->Count(std::string("NFS share [") + GetParam().share + "]"));
}

INSTANTIATE_TEST_SUITE_P(Lunuuids, ShareName,
                         testing::ValuesIn(std::vector<ShareCase>{
                             {"\\/share9\\/dir\\/x", "share9"},
                             {"//share9/dir", "share9"},
                             {"\\/share9/dir\\/x", "share9/dir"},
                             {"\\/share9", "share9"},
                             {"abc", "c"},
                             {"\\/\\/x", ""},
                             {"\\/ab/", "ab"},
                         }));

// Every failure sets the record's error, logs at level -1 and returns 1.
struct FailureCase {
  const char* name;
  std::optional<std::string> sourceDevice;
  int code;
  const char* text;
  const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class Failure : public SnapDetails, public testing::WithParamInterface<FailureCase> {};

TEST_P(Failure, SetsTheErrorAndLogsIt) {
  const FailureCase& c = GetParam();
  record_.sourceDevice = c.sourceDevice;
  Details d;
  EXPECT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ(c.code, record_.errorCode);
  EXPECT_EQ(c.text, record_.errorText);
  EXPECT_EQ(1, log_->Count(c.message));
  EXPECT_FALSE(record_.status.has_value());
  EXPECT_EQ(0u, record_.metadata.count(ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID));
  EXPECT_EQ("mount?", d.mountPath);
  EXPECT_EQ("copy?", d.copyId);
  for (const auto& line : log_->lines()) {
    if (line.message == c.message) {
      EXPECT_EQ(-1, line.level);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Failure,
    testing::ValuesIn(std::vector<FailureCase>{
        {"NoSourceDevice", std::nullopt, 61002, "Cant get source device.",
         "getSourceDevicev2() returned empty srcDevice"},
        {"NoLunuuid", std::string("{type:nfs,targethostname:h}"), 61002,
         "lunuuid not presentin device name",
         "NFS share not found in source device [{type:nfs,targethostname:h}]"},
        {"ShortLunuuid", std::string("{lunuuid:ab,targethostname:h}"), 83002,
         "objectStore name too short.", "objectStore name [ab] name too short."},
        {"NoTargetHostName", std::string("{lunuuid:\\/share1}"), 83007,
         "Cannot get NFS server hostname from device.",
         "NFS server not found in source device [{lunuuid:\\/share1}]"},
        {"ShareNotConfigured", std::string("{lunuuid:\\/share9,targethostname:nfs-a.example.test}"),
         83006, "NFS Share not found in KT DB.",
         "[share9] is not exported by NFS server [nfs-a.example.test]"},
        {"ServerDoesNotExportIt",
         std::string("{lunuuid:\\/share1,targethostname:nfs-b.example.test}"), 83006,
         "NFS Share not found in KT DB.",
         "[share1] is not exported by NFS server [nfs-b.example.test]"},
    }),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(SnapDetails, FailuresBeforeTheShareLeaveEveryOutput) {
  record_.sourceDevice = "{type:nfs}";
  Details d;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ("share?", d.share);
  EXPECT_EQ("host?", d.hostName);
  EXPECT_EQ(kCallerId, d.subclientId);
  EXPECT_EQ("time?", d.snapTime);
}

TEST_F(SnapDetails, AShortShareIsLeftUncut) {
  record_.sourceDevice = "{lunuuid:ab,targethostname:h}";
  Details d;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ("ab", d.share);
  EXPECT_EQ("time?", d.snapTime);
}

TEST_F(SnapDetails, WithoutTargetHostNameTheMetadataReadSoFarIsKept) {
  record_.sourceDevice = "{lunuuid:\\/share1}";
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = "1765000000";
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "77";
  Details d;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ("share1", d.share);
  EXPECT_EQ("1765000000", d.snapTime);
  EXPECT_EQ(77, d.subclientId);
  EXPECT_EQ("host?", d.hostName);
}

struct SubclientTextCase {
  const char* text;
  int subclientId;
};

void PrintTo(const SubclientTextCase& c, std::ostream* os) { *os << "[" << c.text << "]"; }

class SubclientText : public SnapDetails, public testing::WithParamInterface<SubclientTextCase> {};

// Seen on the failure path after it, where the lookup does not overwrite it.
TEST_P(SubclientText, GivesItsLeadingDigits) {
  record_.sourceDevice = "{lunuuid:\\/share1}";
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = GetParam().text;
  Details d;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ(GetParam().subclientId, d.subclientId);
}

INSTANTIATE_TEST_SUITE_P(Texts, SubclientText,
                         testing::ValuesIn(std::vector<SubclientTextCase>{
                             {"42", 42},
                             {"-5", -5},
                             {"+7", 7},
                             {"12abc", 12},
                             {"abc", 0},
                             {"", kCallerId},
                         }));

TEST_F(SnapDetails, ALookupFailureKeepsTheHostNameAndTheMetadataId) {
  record_.sourceDevice = "{lunuuid:\\/share9,targethostname:nfs-a.example.test}";
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "77";
  Details d;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ("share9", d.share);
  EXPECT_EQ(kServer, d.hostName);
  EXPECT_EQ(0, d.subclientId);  // the lookup resets it before walking the list
}

TEST_F(SnapDetails, AStoredProcedureFailureIsTheRecordsError) {
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "77";
  platform_.MakeStoreUnreadable();
  Details d;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Extract(d));
  EXPECT_EQ(83005, record_.errorCode);
  EXPECT_EQ("Failed to get list of configured NFS shares.", record_.errorText);
  EXPECT_EQ(77, d.subclientId);
}

TEST_F(SnapDetails, OneTextForSnapTimeAndCopyIdEndsAsTheCopyId) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = "1765000000";
  record_.jobId = 7;
  ZRPlatformInfo().setNumber("Ferrynode", CopyIdKey(7), 5);
  Details d;
  std::string both = "both?";
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, ExtractSnapDetails(&record_, d.share, d.mountPath, d.clientName,
                                                     d.hostName, d.subclientId, both, both));
  EXPECT_EQ("5", both);
}

TEST_F(SnapDetails, OneTextForSnapTimeAndCopyIdKeepsTheTimeWithoutACopyId) {
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = "1765000000";
  Details d;
  std::string both = "both?";
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, ExtractSnapDetails(&record_, d.share, d.mountPath, d.clientName,
                                                     d.hostName, d.subclientId, both, both));
  EXPECT_EQ("1765000000", both);
}

TEST_F(SnapDetails, OneTextForServerHostAndClientNameEndsAsTheClientName) {
  Details d;
  std::string server = "unused";
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, ExtractSnapDetails(&record_, d.share, d.mountPath, server, server,
                                                     d.subclientId, d.snapTime, d.copyId));
  EXPECT_EQ("nfs01", server);
  EXPECT_EQ(1, log_->Count("NfsServerClientName [nfs01] NfsServerHostName [nfs01]"));
}

TEST_F(SnapDetails, OneTextForShareAndMountPathEndsAsTheMountPath) {
  record_.snapDevice = "{lunuuid:\\/share1-uuid_7}";
  Details d;
  std::string both;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, ExtractSnapDetails(&record_, both, both, d.clientName, d.hostName,
                                                     d.subclientId, d.snapTime, d.copyId));
  EXPECT_EQ("/share1-uuid_7", both);
  EXPECT_EQ(42, d.subclientId);  // the lookup ran on the share
}

TEST_F(SnapDetails, EachMetadataReadOffersTheWholeBufferLessOne) {
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ((std::vector<int16_t>{1023, 1023}), record_.capacitiesSeen);
}

class CapacityWrittenBack : public SnapDetails, public testing::WithParamInterface<int16_t> {};

TEST_P(CapacityWrittenBack, DoesNotChangeTheNextRead) {
  record_.capacityWrittenBack = GetParam();
  record_.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = "1765000000";
  record_.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "42";
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ((std::vector<int16_t>{1023, 1023}), record_.capacitiesSeen);
  EXPECT_EQ("1765000000", d.snapTime);
  EXPECT_EQ(1, log_->Count("Share SubclientId [42]"));
}

INSTANTIATE_TEST_SUITE_P(Lengths, CapacityWrittenBack, testing::Values(0, 3, -1, 32767));

TEST_F(SnapDetails, AHostThatFillsTheWholeBufferStillGivesTerminatedText) {
  record_.fillWholeBuffer = true;
  Details d;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Extract(d));
  EXPECT_EQ(std::string(1023, 'x'), d.snapTime);
}

}  // namespace
