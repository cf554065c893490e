// Whether two names denote one machine, with the resolver answering from
// support/hosts:
//   10.20.30.40  nfs-a.example.test nfs-a
//   10.20.30.41, 10.20.30.42, fd00::42  nfs-b.example.test

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostNameEquivalence.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"

namespace {

using testsupport::FakeSnapInfo;
using testsupport::ScopedCapture;

TEST(PairForm, OtherMustBeTheTextOfOneOfTheAddressesOfName) {
  struct Case {
    const char* name;
    const char* other;
    ZRSO::ResultCode result;
    const char* logged;  // one message expected, or nullptr
  };
  const Case cases[] = {
      {"nfs-a.example.test", "10.20.30.40", 0, "[10.20.30.40] belongs to [nfs-a.example.test]"},
      // The third address of a name.
      {"nfs-b.example.test", "fd00::42", 0, "Got address [fd00::42] for [nfs-b.example.test]"},
      // A name is not one of its own addresses, nor is another of its names.
      {"nfs-a.example.test", "nfs-a.example.test", 1, nullptr},
      {"nfs-a.example.test", "nfs-a", 1, nullptr},
      // Address texts compare exactly: no other notation matches.
      {"nfs-a.example.test", "10.20.30.040", 1, nullptr},
      {"nfs-b.example.test", "FD00::42", 1, nullptr},
      // An address is caught before `other` is looked at.
      {"10.20.30.41", "10.20.30.41", 1,
       "[10.20.30.41] is an IP adress. Will try to convert it to hostname and try with that."},
      {"no-such-host.invalid", "10.20.30.40", 1,
       "Did not find any IP addresses for [no-such-host.invalid]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " / " + c.other);
    ScopedCapture log(1);
    EXPECT_EQ(c.result, FindArrayUsingOtherNames(std::string(c.name), std::string(c.other)));
    EXPECT_EQ(1, c.logged != nullptr ? log->Count(c.logged) : 1);
    for (const auto& line : log->lines()) {
      EXPECT_EQ(1, line.level);
      EXPECT_EQ("ZRSO::ResultCode FindArrayUsingOtherNames(const string&, const string&)",
                line.function);
    }
  }
}

// The host's findArray is offered each address of a host name, or the host
// name of an address, never the address itself.
TEST(RecordForm, OffersTheAddressesOfANameOrTheHostNameOfAnAddress) {
  struct Case {
    const char* name;
    std::vector<std::string> accepted;
    ZRSO::ResultCode result;
    std::vector<std::string> offered;
    const char* logged;  // one message expected, or nullptr
  };
  const Case cases[] = {
      // No reverse lookup for a host name.
      {"nfs-b.example.test", {}, 1, {"10.20.30.41", "10.20.30.42", "fd00::42"}, nullptr},
      {"nfs-b.example.test", {"10.20.30.42"}, 0, {"10.20.30.41", "10.20.30.42"}, nullptr},
      {"10.20.30.40", {"nfs-a.example.test"}, 0, {"nfs-a.example.test"},
       "[10.20.30.40] <==> [nfs-a.example.test]"},
      {"fd00::42", {}, 1, {"nfs-b.example.test"}, nullptr},
      {"10.99.99.99", {}, 1, {}, "Could not get hostname for [10.99.99.99]"},
      {"no-such-host.invalid", {}, 1, {},
       "Did not find any IP addresses for [no-such-host.invalid]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedCapture log(1);
    FakeSnapInfo record;
    record.acceptedArrays = c.accepted;
    EXPECT_EQ(c.result, FindArrayUsingOtherNames(&record, c.name));
    EXPECT_EQ(c.offered, record.offeredArrays);
    EXPECT_EQ(1, c.logged != nullptr ? log->Count(c.logged) : 1);
    if (c.logged == nullptr || std::string(c.logged).rfind("Could not", 0) != 0) {
      EXPECT_EQ(0, log->CountContaining("Could not get hostname"));
    }
    for (const auto& line : log->lines()) EXPECT_EQ(1, line.level);
  }
  EXPECT_EQ(ZRSO::RESULT_FAILURE, FindArrayUsingOtherNames(nullptr, "nfs-a"));
}

}  // namespace
