// The NFS share lookup against the local management database, with the
// resolver answering from support/hosts.

#include <gtest/gtest.h>

#include <string>

#include "NfsShareLookup.h"
#include "SnapCodes.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"

namespace {

constexpr int kNotFound = ZRSO::ERROR_SHARE_NOT_FOUND;

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
  NfsShareLookup() {
    localplatform::Store& store = platform_.store();
    store.PutClient({"nfs01", "nfs-a.example.test"});
    store.PutClient({"nfs02", "nfs-b.example.test"});
    store.PutClient({"nfs03", "10.20.30.40"});
    store.AddShare({"other", "nfs01", 7});
    store.AddShare({"share1", "nfs01", 42});
    store.AddShare({"Share2", "nfs01", 41});
    store.AddShare({"share2 ", "nfs01", 43});
    store.AddShare({"dup", "nfs02", 51});
    store.AddShare({"dup", "nfs01", 52});
    store.AddShare({"zero", "nfs01", 0});
    store.AddShare({"wide", "nfs01", (int64_t{1} << 32) + 42});  // low 32 bits: another share's
    store.AddShare({"neg", "nfs01", -5});
    store.AddShare({"orphan", "no-host-client", 61});
    store.AddShare({"byaddr", "nfs03", 71});
  }

  Outcome Find(const std::string& share, const std::string& host, const std::string& client) {
    Outcome outcome{0, client, kCallerId, kUntouched};
    outcome.result =
        FindNfsShare(share, host, outcome.clientName, outcome.subclientId, outcome.error);
    return outcome;
  }

  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture log_{4};
};

TEST_F(NfsShareLookup, TheFirstEntryWithTheShareDecidesByClientOrHostName) {
  struct Case {
    const char* share;
    const char* host;
    const char* clientIn;
    int32_t result;
    int subclientId;
    const char* clientOut;
    int resolved;        // host names looked up
    const char* logged;  // one message expected, or nullptr
    int level;
  };
  const Case cases[] = {
      {"share1", "nfs-a.example.test", "", 0, 42, "nfs01", 1, nullptr, 0},
      // A known client name matches without any resolution.
      {"share1", "whatever.invalid", "nfs01", 0, 42, "nfs01", 0, nullptr, 0},
      // Another client name falls back on the host name and is replaced.
      {"share1", "nfs-a.example.test", "nfs99", 0, 42, "nfs01", 1, nullptr, 0},
      {"share1", "nfs-b.example.test", "nfs99", kNotFound, 0, "nfs99", 1, nullptr, 0},
      // Shares compare exactly.
      {"share2", "nfs-a.example.test", "", kNotFound, 0, "", 0, nullptr, 0},
      // The server by an address, or stored by one, through either direction.
      {"dup", "10.20.30.42", "", 0, 51, "nfs02", 1,
       "[10.20.30.42] belongs to [nfs-b.example.test]", 1},
      {"byaddr", "nfs-a", "", 0, 71, "nfs03", 1, "[10.20.30.40] belongs to [nfs-a]", 1},
      // The second "dup" entry would match, but only the first is examined.
      {"dup", "nfs-a.example.test", "", kNotFound, 0, "", 1, nullptr, 0},
      {"orphan", "nfs-a", "", kNotFound, 0, "", 1, "tempHostName []", 4},
      {"zero", "h", "nfs01", kNotFound, 0, "nfs01", 0, nullptr, 0},
      {"wide", "h", "nfs01", kNotFound, 0, "nfs01", 0,
       "Subclient id [4294967338] of NFS share [wide] does not fit in 32 bits; ignored.", -1},
      {"neg", "h", "nfs01", 0, -5, "nfs01", 0, nullptr, 0},
      {"missing", "nfs-a.example.test", "nfs01", kNotFound, 0, "nfs01", 0,
       "Failed to find subclient id for nfs share  [missing].", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.share) + " on " + c.host + " as [" + c.clientIn + "]");
    log_->clear();
    Outcome outcome = Find(c.share, c.host, c.clientIn);
    EXPECT_EQ(c.result, outcome.result);
    EXPECT_EQ(c.subclientId, outcome.subclientId);
    EXPECT_EQ(c.clientOut, outcome.clientName);
    EXPECT_EQ(c.result == 0 ? kUntouched : "NFS Share not found in KT DB.", outcome.error);
    EXPECT_EQ(c.result == 0 ? 0 : 1,
              log_->Count(std::string("Failed to find subclient id for nfs share  [") + c.share +
                          "]."));
    EXPECT_EQ(c.resolved, log_->CountContaining("tempHostName ["));
    if (c.logged == nullptr) continue;
    EXPECT_EQ(1, log_->Count(c.logged));
    for (const auto& line : log_->lines()) {
      EXPECT_TRUE(line.message != c.logged || line.level == c.level) << line.message;
    }
  }
}

TEST_F(NfsShareLookup, AFailedStoredProcedureLooksNothingUp) {
  platform_.MakeStoreUnreadable();
  Outcome outcome = Find("share1", "h", "nfs01");
  EXPECT_EQ(ZRSO::ERROR_SHARE_LIST, outcome.result);
  EXPECT_EQ("Failed to get list of configured NFS shares.", outcome.error);
  EXPECT_EQ(kCallerId, outcome.subclientId);
  EXPECT_EQ("nfs01", outcome.clientName);
  const char kLogged[] = "ERROR: App_ExecuteSP::executeStoredProcedure failed. Error code [";
  ASSERT_EQ(1, log_->CountContaining(kLogged));
  for (const auto& line : log_->lines()) {
    EXPECT_TRUE(line.message.rfind(kLogged, 0) != 0 || line.level == 1) << line.message;
  }
  EXPECT_EQ(0, log_->CountContaining("GET NFS Share response"));
}

// The client name is written only after the host name was last read: one
// text may serve as both.
TEST_F(NfsShareLookup, OneTextForHostAndClientName) {
  int id = 0;
  std::string error;
  std::string server = "nfs01";  // a client name matches at once
  EXPECT_EQ(0, FindNfsShare("share1", server, server, id, error));
  EXPECT_EQ("nfs01", server);
  EXPECT_EQ(0, log_->CountContaining("tempHostName"));

  server = "10.20.30.41";  // matched by host name, then replaced
  EXPECT_EQ(0, FindNfsShare("dup", server, server, id, error));
  EXPECT_EQ("nfs02", server);
  EXPECT_EQ(51, id);
}

TEST_F(NfsShareLookup, LogsTheExchangeAndEachEntryUpToTheMatch) {
  ASSERT_EQ(0, Find("share1", "nfs-a.example.test", "").result);
  const auto& lines = log_->lines();
  ASSERT_EQ(5u, lines.size());
  EXPECT_EQ(0u, lines[0].message.find("INFO:Get NFS Share request XML [<"));
  EXPECT_EQ(0u, lines[1].message.find("INFO: GET NFS Share response xml[<"));
  EXPECT_EQ("Share [other] NFSServerClientName [nfs01] shareSubclient [7]", lines[2].message);
  EXPECT_EQ("Share [share1] NFSServerClientName [nfs01] shareSubclient [42]", lines[3].message);
  EXPECT_EQ("tempHostName [nfs-a.example.test]", lines[4].message);
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(i == 0 ? 1 : 4, lines[i].level) << i;
    EXPECT_EQ(kFunction, lines[i].function) << i;
  }
}

}  // namespace
