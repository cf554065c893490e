// Whether two names denote one machine, with the resolver answering from
// support/hosts:
//   10.20.30.40  nfs-a.example.test nfs-a
//   10.20.30.41, 10.20.30.42, fd00::42  nfs-b.example.test

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "identification/HostNameEquivalence.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"

namespace {

using testsupport::FakeSnapInfo;
using testsupport::ScopedCapture;

struct PairCase {
  const char* name;
  const char* other;
  ZRSO::ResultCode result;
};

void PrintTo(const PairCase& c, std::ostream* os) {
  *os << "[" << c.name << "] [" << c.other << "]";
}

const PairCase kPairCases[] = {
    {"nfs-a.example.test", "10.20.30.40", ZRSO::RESULT_SUCCESS},
    {"nfs-a", "10.20.30.40", ZRSO::RESULT_SUCCESS},
    // The third address of a name.
    {"nfs-b.example.test", "fd00::42", ZRSO::RESULT_SUCCESS},
    {"nfs-b.example.test", "10.20.30.42", ZRSO::RESULT_SUCCESS},
    // A name is not one of its own addresses.
    {"nfs-a.example.test", "nfs-a.example.test", ZRSO::RESULT_FAILURE},
    // Another name of the same machine is no address either.
    {"nfs-a.example.test", "nfs-a", ZRSO::RESULT_FAILURE},
    {"nfs-a.example.test", "10.20.30.41", ZRSO::RESULT_FAILURE},
    // Address texts compare exactly: no other notation matches.
    {"nfs-a.example.test", "10.20.30.040", ZRSO::RESULT_FAILURE},
    {"nfs-b.example.test", "FD00::42", ZRSO::RESULT_FAILURE},
    {"nfs-b.example.test", "fd00:0::42", ZRSO::RESULT_FAILURE},
    {"nfs-a.example.test", " 10.20.30.40", ZRSO::RESULT_FAILURE},
    // An address is caught before `other` is looked at.
    {"10.20.30.40", "10.20.30.40", ZRSO::RESULT_FAILURE},
    {"10.20.30.40", "nfs-a.example.test", ZRSO::RESULT_FAILURE},
    {"no-such-host.invalid", "10.20.30.40", ZRSO::RESULT_FAILURE},
    {"", "", ZRSO::RESULT_FAILURE},
};

class PairForm : public testing::TestWithParam<PairCase> {};

TEST_P(PairForm, AnswersFromTheResolver) {
  const PairCase& c = GetParam();
  EXPECT_EQ(c.result, FindArrayUsingOtherNames(std::string(c.name), std::string(c.other)));
}

INSTANTIATE_TEST_SUITE_P(Names, PairForm, testing::ValuesIn(kPairCases));

TEST(PairFormLog, TellsEachAddressAndTheMatch) {
  ScopedCapture log(1);
  ASSERT_EQ(ZRSO::RESULT_SUCCESS,
            FindArrayUsingOtherNames(std::string("nfs-b.example.test"), std::string("fd00::42")));
  EXPECT_EQ(3, log->CountContaining("Got address ["));
  EXPECT_EQ(1, log->Count("Got address [fd00::42] for [nfs-b.example.test]"));
  EXPECT_EQ(1, log->Count("[fd00::42] belongs to [nfs-b.example.test]"));
  for (const auto& line : log->lines()) {
    EXPECT_EQ(1, line.level);
    EXPECT_EQ("ZRSO::ResultCode FindArrayUsingOtherNames(const string&, const string&)",
              line.function);
  }
}

TEST(PairFormLog, TellsWhenTheNameIsAnAddress) {
  ScopedCapture log(1);
  FindArrayUsingOtherNames(std::string("10.20.30.41"), std::string("10.20.30.41"));
  EXPECT_EQ(1,
            log->Count("[10.20.30.41] is an IP adress. Will try to convert it to hostname and try "
                       "with that."));
  EXPECT_EQ(0, log->CountContaining("belongs to"));
}

TEST(PairFormLog, TellsWhenNothingResolves) {
  ScopedCapture log(1);
  FindArrayUsingOtherNames(std::string("no-such-host.invalid"), std::string("x"));
  EXPECT_EQ(1, log->Count("Did not find any IP addresses for [no-such-host.invalid]"));
}

TEST(PairFormLog, IsQuietBelowLevelOne) {
  ScopedCapture log(0);
  FindArrayUsingOtherNames(std::string("nfs-a"), std::string("10.20.30.40"));
  EXPECT_TRUE(log->lines().empty());
}

TEST(RecordForm, OffersEveryAddressAndNoReverseLookupForAHostName) {
  ScopedCapture log(1);
  FakeSnapInfo record;
  EXPECT_EQ(ZRSO::RESULT_FAILURE, FindArrayUsingOtherNames(&record, "nfs-b.example.test"));
  EXPECT_EQ((std::vector<std::string>{"10.20.30.41", "10.20.30.42", "fd00::42"}),
            record.offeredArrays);
  EXPECT_EQ(0, log->CountContaining("Could not get hostname"));
}

TEST(RecordForm, StopsAtTheFirstAcceptedAddress) {
  FakeSnapInfo record;
  record.acceptedArrays = {"10.20.30.42"};
  EXPECT_EQ(ZRSO::RESULT_SUCCESS, FindArrayUsingOtherNames(&record, "nfs-b.example.test"));
  EXPECT_EQ((std::vector<std::string>{"10.20.30.41", "10.20.30.42"}), record.offeredArrays);
}

TEST(RecordForm, OffersTheHostNameOfAnAddressNotTheAddress) {
  ScopedCapture log(1);
  FakeSnapInfo record;
  record.acceptedArrays = {"nfs-a.example.test"};
  EXPECT_EQ(ZRSO::RESULT_SUCCESS, FindArrayUsingOtherNames(&record, "10.20.30.40"));
  EXPECT_EQ(std::vector<std::string>{"nfs-a.example.test"}, record.offeredArrays);
  EXPECT_EQ(1, log->Count("[10.20.30.40] <==> [nfs-a.example.test]"));
}

TEST(RecordForm, FollowsTheAnswerForTheReverseName) {
  FakeSnapInfo record;
  EXPECT_EQ(ZRSO::RESULT_FAILURE, FindArrayUsingOtherNames(&record, "fd00::42"));
  EXPECT_EQ(std::vector<std::string>{"nfs-b.example.test"}, record.offeredArrays);
}

TEST(RecordForm, AnAddressWithoutAHostNameFails) {
  ScopedCapture log(1);
  FakeSnapInfo record;
  EXPECT_EQ(ZRSO::RESULT_FAILURE, FindArrayUsingOtherNames(&record, "10.99.99.99"));
  EXPECT_TRUE(record.offeredArrays.empty());
  EXPECT_EQ(1, log->Count("Could not get hostname for [10.99.99.99]"));
}

TEST(RecordForm, ANameThatDoesNotResolveFails) {
  ScopedCapture log(1);
  FakeSnapInfo record;
  EXPECT_EQ(ZRSO::RESULT_FAILURE, FindArrayUsingOtherNames(&record, "no-such-host.invalid"));
  EXPECT_TRUE(record.offeredArrays.empty());
  EXPECT_EQ(1, log->Count("Did not find any IP addresses for [no-such-host.invalid]"));
}

TEST(RecordForm, ANullRecordFails) {
  EXPECT_EQ(ZRSO::RESULT_FAILURE, FindArrayUsingOtherNames(nullptr, "nfs-a"));
}

}  // namespace
