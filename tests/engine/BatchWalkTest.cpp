// The batch walk, result folding and fixed results of the exported surface.

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "engine/BatchWalk.h"
#include "engine/EntryGuard.h"
#include "engine/NfsObjectStoreEngine.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"

namespace {

using testsupport::FakeSnapInfo;

struct WalkCase {
  const char* name;
  int16_t count;
  std::vector<bool> present;  // entry i is a record, or null
  std::vector<int> visited;   // indexes handed to the step, in order
};

class BatchWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(BatchWalk, VisitsRecordsUpToCountOrFirstNull) {
  const WalkCase& c = GetParam();
  std::vector<FakeSnapInfo> records(c.present.size());
  std::vector<ZRSO::SnapInfo*> array;
  for (size_t i = 0; i < c.present.size(); ++i) array.push_back(c.present[i] ? &records[i] : nullptr);

  std::vector<int> visited;
  int16_t successes = zrso::WalkBatch("walk", array.data(), c.count, [&](ZRSO::SnapInfo* record) {
    visited.push_back(static_cast<int>(static_cast<FakeSnapInfo*>(record) - records.data()));
    return ZRSO::RESULT_SUCCESS;
  });
  EXPECT_EQ(visited, c.visited);
  EXPECT_EQ(successes, static_cast<int16_t>(c.visited.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchWalk,
    ::testing::Values(WalkCase{"count_zero", 0, {true, true}, {}},
                      WalkCase{"negative_count", -3, {true, true}, {}},
                      WalkCase{"two_of_two", 2, {true, true}, {0, 1}},
                      WalkCase{"count_below_array", 1, {true, true}, {0}},
                      WalkCase{"null_in_the_middle", 3, {true, false, true}, {0}},
                      WalkCase{"null_first", 2, {false, true}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatchWalkNullArray, PositiveCountVisitsNothing) {
  int visits = 0;
  zrso::WalkBatch("walk", nullptr, 5, [&](ZRSO::SnapInfo*) { return ++visits, ZRSO::RESULT_SUCCESS; });
  EXPECT_EQ(visits, 0);
}

TEST(BatchWalkLog, CountIsDetail) {
  testsupport::ScopedCapture detail(4);
  zrso::WalkBatch("walk", nullptr, -7, [](ZRSO::SnapInfo*) { return ZRSO::RESULT_SUCCESS; });
  EXPECT_EQ(detail->Count("count [-7]"), 1);

  testsupport::ScopedCapture quiet(3);
  zrso::WalkBatch("walk", nullptr, 1, [](ZRSO::SnapInfo*) { return ZRSO::RESULT_SUCCESS; });
  EXPECT_TRUE(quiet->lines().empty());
}

TEST(FoldBatchResult, AgainstTheCountPassed) {
  struct Case { int16_t successes, count; ZRSO::ResultCode expected; };
  for (const Case& c : {Case{0, 0, 1}, Case{0, 2, 1}, Case{1, 2, 2}, Case{2, 2, 0}, Case{1, 3, 2},
                        Case{3, 3, 0}}) {
    EXPECT_EQ(zrso::FoldBatchResult(c.successes, c.count), c.expected)
        << c.successes << " of " << c.count;
  }
}

TEST(EntryGuard, ExceptionBecomesFailureAndIsLogged) {
  testsupport::ScopedCapture capture(-1);
  EXPECT_EQ(zrso::GuardEntry("entry", []() -> ZRSO::ResultCode { throw std::runtime_error("boom"); }),
            ZRSO::RESULT_FAILURE);
  EXPECT_EQ(zrso::GuardEntry("entry", []() -> ZRSO::ResultCode { throw 42; }), ZRSO::RESULT_FAILURE);
  ASSERT_EQ(capture->lines().size(), 2u);
  EXPECT_EQ(capture->lines()[0].level, -1);
  EXPECT_EQ(capture->lines()[0].message, "Unexpected exception [boom]");
  EXPECT_EQ(zrso::GuardEntry("entry", [] { return ZRSO::RESULT_PARTIAL; }), ZRSO::RESULT_PARTIAL);
}

using BatchEntry = ZRSO::ResultCode (*)(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*);

TEST(EntryPointsWithoutWork, ReturnFixedResultsAndTouchNoRecord) {
  struct Case { const char* name; BatchEntry entry; ZRSO::ResultCode expected; };
  const Case cases[] = {{"prepareDevices", zrso_prepareDevices, 0},
                        {"unprepareDevices", zrso_unprepareDevices, 0},
                        {"deleteSnaps", zrso_deleteSnaps, 0},
                        {"revertSnaps", zrso_revertSnaps, 1},
                        {"reconcileSnaps", zrso_reconcileSnaps, 0}};
  for (const Case& c : cases) {
    FakeSnapInfo first, second;
    ZRSO::SnapInfo* records[] = {&first, &second};
    for (int16_t count : {int16_t{-1}, int16_t{0}, int16_t{2}}) {
      EXPECT_EQ(c.entry(records, count, nullptr), c.expected) << c.name << " count " << count;
    }
    EXPECT_EQ(c.entry(nullptr, 4, nullptr), c.expected) << c.name;
    EXPECT_FALSE(first.status || first.errorCode || second.status || second.errorCode) << c.name;
  }
}

TEST(WorkingEntryPoints, EmptyBatch) {
  EXPECT_EQ(zrso_snapDevices(nullptr, 0, nullptr), ZRSO::RESULT_FAILURE);
  EXPECT_EQ(zrso_unmapSnaps(nullptr, 0, nullptr), ZRSO::RESULT_FAILURE);
  EXPECT_EQ(zrso_isMapped(nullptr, 0, nullptr), ZRSO::RESULT_SUCCESS);
  EXPECT_EQ(zrso_isMapped(nullptr, -2, nullptr), ZRSO::RESULT_SUCCESS);
}

TEST(Version, IsOnePointZeroPointZero) {
  uint16_t major = 9, minor = 9, patch = 9;
  zrso_version(&major, &minor, &patch);
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 0);
  EXPECT_EQ(patch, 0);

  minor = 9;
  zrso_version(nullptr, &minor, nullptr);
  EXPECT_EQ(minor, 0);
}

TEST(IsSupported, AlwaysOne) {
  int anything = 0;
  EXPECT_EQ(zrso_isSupported(nullptr, 0, nullptr, nullptr, 0), 1);
  EXPECT_EQ(zrso_isSupported(&anything, -5, &anything, &anything, 32767), 1);
}

}  // namespace
