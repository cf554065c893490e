// The NFS share lookup against the local management database, with the
// resolver answering from support/hosts.

#include <gtest/gtest.h>

#include <string>

#include "identification/NfsShareLookup.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"

namespace {

using testsupport::ScopedCapture;

constexpr char kFunction[] =
    "int32_t FindNfsShare(const string&, const string&, std::string&, int&, std::string&)";
constexpr int kCallerId = -7;
constexpr char kUntouched[] = "<untouched>";

struct Outcome {
  int32_t result;
  std::string clientName;
  int subclientId;
  std::string error;
};

class NfsShareLookup : public testing::Test {
 protected:
  void AddClient(const std::string& name, const std::string& host) {
    platform_.store().PutClient({name, host});
  }
  void AddShare(const std::string& share, const std::string& client, int64_t id) {
    platform_.store().AddShare({share, client, id});
  }

  Outcome Find(const std::string& share, const std::string& host, const std::string& client = "") {
    Outcome outcome{0, client, kCallerId, kUntouched};
    outcome.result =
        FindNfsShare(share, host, outcome.clientName, outcome.subclientId, outcome.error);
    return outcome;
  }

  testsupport::TempPlatform platform_;
  ScopedCapture log_{4};
};

TEST_F(NfsShareLookup, AnEmptyListFindsNothing) {
  Outcome outcome = Find("share1", "nfs-a.example.test", "nfs01");
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, outcome.result);
  EXPECT_EQ("NFS Share not found in KT DB.", outcome.error);
  EXPECT_EQ(0, outcome.subclientId);
  EXPECT_EQ("nfs01", outcome.clientName);
  EXPECT_EQ(1, log_->Count("Failed to find subclient id for nfs share  [share1]."));
}

TEST_F(NfsShareLookup, FindsTheShareOnAServerWithTheSameHostName) {
  AddClient("nfs01", "nfs-a.example.test");
  AddShare("other", "nfs01", 7);
  AddShare("share1", "nfs01", 42);
  Outcome outcome = Find("share1", "nfs-a.example.test");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ(42, outcome.subclientId);
  EXPECT_EQ("nfs01", outcome.clientName);
  EXPECT_EQ(kUntouched, outcome.error);
}

TEST_F(NfsShareLookup, SharesCompareExactly) {
  AddClient("nfs01", "nfs-a.example.test");
  AddShare("Share1", "nfs01", 41);
  AddShare("share1 ", "nfs01", 43);
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, Find("share1", "nfs-a.example.test").result);
}

TEST_F(NfsShareLookup, AKnownClientNameMatchesWithoutResolvingAnything) {
  AddShare("share1", "nfs01", 42);  // nfs01 has no host name at all
  Outcome outcome = Find("share1", "whatever.invalid", "nfs01");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ(42, outcome.subclientId);
  EXPECT_EQ("nfs01", outcome.clientName);
  EXPECT_EQ(0, log_->CountContaining("tempHostName"));
}

TEST_F(NfsShareLookup, AnotherClientNameFallsBackOnTheHostNameAndIsReplaced) {
  AddClient("nfs01", "nfs-a.example.test");
  AddShare("share1", "nfs01", 42);
  Outcome outcome = Find("share1", "nfs-a.example.test", "nfs99");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ("nfs01", outcome.clientName);
  EXPECT_EQ(1, log_->Count("tempHostName [nfs-a.example.test]"));
}

TEST_F(NfsShareLookup, AServerGivenByAnAddressMatchesItsHostName) {
  AddClient("nfs01", "nfs-b.example.test");
  AddShare("share1", "nfs01", 42);
  Outcome outcome = Find("share1", "10.20.30.42");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ(42, outcome.subclientId);
  EXPECT_EQ(1, log_->Count("[10.20.30.42] belongs to [nfs-b.example.test]"));
}

TEST_F(NfsShareLookup, AServerStoredByAnAddressMatchesAHostNameTheOtherWayRound) {
  AddClient("nfs01", "10.20.30.40");
  AddShare("share1", "nfs01", 42);
  Outcome outcome = Find("share1", "nfs-a");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ("nfs01", outcome.clientName);
  EXPECT_EQ(1, log_->CountContaining("[10.20.30.40] is an IP adress."));
  EXPECT_EQ(1, log_->Count("[10.20.30.40] belongs to [nfs-a]"));
}

TEST_F(NfsShareLookup, AnotherServerDoesNotMatch) {
  AddClient("nfs01", "nfs-a.example.test");
  AddShare("share1", "nfs01", 42);
  Outcome outcome = Find("share1", "nfs-b.example.test", "nfs99");
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, outcome.result);
  EXPECT_EQ(0, outcome.subclientId);
  EXPECT_EQ("nfs99", outcome.clientName);
}

TEST_F(NfsShareLookup, AClientWithoutAHostNameDoesNotMatchByHostName) {
  AddShare("share1", "unknown-client", 42);
  Outcome outcome = Find("share1", "nfs-a");
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, outcome.result);
  EXPECT_EQ(1, log_->Count("tempHostName []"));
}

TEST_F(NfsShareLookup, OnlyTheFirstEntryOfADuplicatedShareDecides) {
  AddClient("nfs01", "nfs-a.example.test");
  AddClient("nfs02", "nfs-b.example.test");
  AddShare("share1", "nfs02", 41);
  AddShare("share1", "nfs01", 42);
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, Find("share1", "nfs-a.example.test").result);
  EXPECT_EQ(1, log_->CountContaining("tempHostName ["));

  Outcome outcome = Find("share1", "nfs-b.example.test");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ(41, outcome.subclientId);
}

TEST_F(NfsShareLookup, ASubclientIdOfZeroIsNotFound) {
  AddShare("share1", "nfs01", 0);
  Outcome outcome = Find("share1", "h", "nfs01");
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, outcome.result);
  EXPECT_EQ(0, outcome.subclientId);
}

// Its low 32 bits are 42, which names another share's subclient.
TEST_F(NfsShareLookup, ASubclientIdBeyond32BitsIsNotCutDown) {
  AddShare("other", "nfs01", 42);
  AddShare("share1", "nfs01", (int64_t{1} << 32) + 42);
  Outcome outcome = Find("share1", "h", "nfs01");
  EXPECT_EQ(NFS_SHARE_NOT_FOUND, outcome.result);
  EXPECT_EQ(0, outcome.subclientId);
  EXPECT_EQ(1,
            log_->Count("Subclient id [4294967338] of NFS share [share1] does not fit in 32 bits; "
                        "ignored."));
  EXPECT_EQ(-1, log_->lines()[log_->lines().size() - 2].level);
}

TEST_F(NfsShareLookup, NegativeSubclientIdsThatFitAreKept) {
  AddShare("share1", "nfs01", -5);
  Outcome outcome = Find("share1", "h", "nfs01");
  EXPECT_EQ(0, outcome.result);
  EXPECT_EQ(-5, outcome.subclientId);
}

TEST_F(NfsShareLookup, AFailedStoredProcedureLooksNothingUp) {
  AddShare("share1", "nfs01", 42);
  platform_.MakeStoreUnreadable();
  Outcome outcome = Find("share1", "h", "nfs01");
  EXPECT_EQ(NFS_SHARE_LIST_FAILED, outcome.result);
  EXPECT_EQ("Failed to get list of configured NFS shares.", outcome.error);
  EXPECT_EQ(kCallerId, outcome.subclientId);
  EXPECT_EQ("nfs01", outcome.clientName);
  EXPECT_EQ(1, log_->CountContaining(
                   "ERROR: App_ExecuteSP::executeStoredProcedure failed. Error code ["));
  EXPECT_EQ(0, log_->CountContaining("GET NFS Share response"));
}

TEST_F(NfsShareLookup, OneTextForHostAndClientNameMatchesAClientNameAtOnce) {
  AddShare("share1", "nfs01", 42);
  std::string server = "nfs01";
  int id = 0;
  std::string error;
  EXPECT_EQ(0, FindNfsShare("share1", server, server, id, error));
  EXPECT_EQ("nfs01", server);
  EXPECT_EQ(0, log_->CountContaining("tempHostName"));
}

TEST_F(NfsShareLookup, OneTextForHostAndClientNameEndsAsTheClientName) {
  AddClient("nfs01", "nfs-b.example.test");
  AddShare("share1", "nfs01", 42);
  std::string server = "10.20.30.41";
  int id = 0;
  std::string error;
  EXPECT_EQ(0, FindNfsShare("share1", server, server, id, error));
  EXPECT_EQ("nfs01", server);
  EXPECT_EQ(42, id);
}

TEST_F(NfsShareLookup, LogsTheExchangeAndEachEntry) {
  AddClient("nfs01", "nfs-a.example.test");
  AddShare("share0", "nfs00", 41);
  AddShare("share1", "nfs01", 42);
  AddShare("share2", "nfs01", 43);
  ASSERT_EQ(0, Find("share1", "nfs-a.example.test").result);

  const auto& lines = log_->lines();
  ASSERT_EQ(5u, lines.size());
  EXPECT_EQ(1, lines[0].level);
  EXPECT_EQ(0u, lines[0].message.find("INFO:Get NFS Share request XML [<"));
  EXPECT_EQ(4, lines[1].level);
  EXPECT_EQ(0u, lines[1].message.find("INFO: GET NFS Share response xml[<"));
  EXPECT_EQ("Share [share0] NFSServerClientName [nfs00] shareSubclient [41]", lines[2].message);
  EXPECT_EQ("Share [share1] NFSServerClientName [nfs01] shareSubclient [42]", lines[3].message);
  EXPECT_EQ("tempHostName [nfs-a.example.test]", lines[4].message);
  for (const auto& line : lines) EXPECT_EQ(kFunction, line.function);
}

TEST_F(NfsShareLookup, WritesOnlyErrorsBelowLevelOne) {
  ScopedCapture quiet(0);
  AddShare("share1", "nfs01", 42);
  Find("share1", "h", "nfs01");
  Find("share9", "h", "nfs01");
  ASSERT_EQ(1u, quiet->lines().size());
  EXPECT_EQ(-1, quiet->lines()[0].level);
}

}  // namespace
