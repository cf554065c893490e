// The NFS share lookup against the local management database, with the
// resolver answering from support/hosts. What it logs is in tests/transcripts.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "NfsShareLookup.h"
#include "SnapCodes.h"
#include "support/TempPlatform.h"

namespace {

constexpr int kNotFound = ZRSO::ERROR_SHARE_NOT_FOUND;
constexpr char kUntouched[] = "<untouched>";

TEST(NfsShareLookup, TheFirstEntryWithTheShareDecidesByClientOrHostName) {
  testsupport::TempPlatform platform;
  localplatform::Store& store = platform.store();
  store.PutClient({"nfs01", "nfs-a.example.test"});
  store.PutClient({"nfs02", "nfs-b.example.test"});
  store.PutClient({"nfs03", "10.20.30.40"});
  for (const localplatform::ShareRow& share : std::vector<localplatform::ShareRow>{
           {"other", "nfs01", 7},
           {"share1", "nfs01", 42},
           {"Share2", "nfs01", 41},
           {"share2 ", "nfs01", 43},
           {"dup", "nfs02", 51},
           {"dup", "nfs01", 52},
           {"zero", "nfs01", 0},
           {"wide", "nfs01", (int64_t{1} << 32) + 42},  // low 32 bits: another share's
           {"min", "nfs01", INT_MIN},
           {"orphan", "no-host-client", 61},
           {"byaddr", "nfs03", 71}}) {
    store.AddShare(share);
  }
  struct Case {
    const char* share;
    const char* host;
    const char* clientIn;
    int32_t result;
    int subclientId;
    const char* clientOut;
  };
  const Case cases[] = {
      {"share1", "nfs-a.example.test", "", 0, 42, "nfs01"},
      // A known client name matches without any resolution.
      {"share1", "whatever.invalid", "nfs01", 0, 42, "nfs01"},
      // Another client name falls back on the host name and is replaced.
      {"share1", "nfs-a.example.test", "nfs99", 0, 42, "nfs01"},
      {"share1", "nfs-b.example.test", "nfs99", kNotFound, 0, "nfs99"},
      // Shares compare exactly.
      {"share2", "nfs-a.example.test", "", kNotFound, 0, ""},
      // The server by an address, or stored by one, through either direction.
      {"dup", "10.20.30.42", "", 0, 51, "nfs02"},
      {"byaddr", "nfs-a", "", 0, 71, "nfs03"},
      // The second "dup" entry would match, but only the first is examined.
      {"dup", "nfs-a.example.test", "", kNotFound, 0, ""},
      {"orphan", "nfs-a", "", kNotFound, 0, ""},
      // An identifier of 0 is none; one beyond 32 bits is refused, not cut.
      {"zero", "h", "nfs01", kNotFound, 0, "nfs01"},
      {"wide", "h", "nfs01", kNotFound, 0, "nfs01"},
      {"min", "h", "nfs01", 0, INT_MIN, "nfs01"},
      {"missing", "nfs-a.example.test", "nfs01", kNotFound, 0, "nfs01"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.share) + " on " + c.host + " as [" + c.clientIn + "]");
    std::string client = c.clientIn, error = kUntouched;
    int subclientId = -7;
    EXPECT_EQ(c.result, FindNfsShare(c.share, c.host, client, subclientId, error));
    EXPECT_EQ(c.subclientId, subclientId);
    EXPECT_EQ(c.clientOut, client);
    EXPECT_EQ(c.result == 0 ? kUntouched : "NFS Share not found in KT DB.", error);
  }
  // One text may serve as host and client name: a client name matches at once.
  std::string server = "nfs01", error;
  int subclientId = 0;
  EXPECT_EQ(0, FindNfsShare("share1", server, server, subclientId, error));
  EXPECT_EQ("nfs01", server);
}

}  // namespace
