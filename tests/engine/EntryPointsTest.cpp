// The fixed results of the exported surface and the guard at its boundary.
// The batch walk and the folding of results are tested through
// zrso_snapDevices (SnapshotBatchTest.cpp).

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "EntryGuard.h"
#include "EntryPoints.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"

namespace {

using testsupport::FakeSnapInfo;
using BatchEntry = ZRSO::ResultCode (*)(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*);

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
  for (int16_t count : {int16_t{0}, int16_t{-2}, int16_t{3}}) {
    EXPECT_EQ(zrso_snapDevices(nullptr, count, nullptr), ZRSO::RESULT_FAILURE) << count;
    EXPECT_EQ(zrso_unmapSnaps(nullptr, count, nullptr), ZRSO::RESULT_FAILURE) << count;
    EXPECT_EQ(zrso_isMapped(nullptr, count, nullptr), ZRSO::RESULT_SUCCESS) << count;
  }
}

TEST(FixedAnswers, VersionOnePointZeroPointZeroAndAlwaysSupported) {
  uint16_t major = 9, minor = 9, patch = 9;
  zrso_version(&major, &minor, &patch);
  EXPECT_EQ(std::make_tuple(major, minor, patch), std::make_tuple(1, 0, 0));
  minor = 9;
  zrso_version(nullptr, &minor, nullptr);
  EXPECT_EQ(minor, 0);

  int anything = 0;
  EXPECT_EQ(zrso_isSupported(nullptr, 0, nullptr, nullptr, 0), 1);
  EXPECT_EQ(zrso_isSupported(&anything, -5, &anything, &anything, 32767), 1);
}

}  // namespace
