// Numbers by section and key in the platform information store.

#include <gtest/gtest.h>

#include "ZrLib.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"

namespace {

class PlatformInfo : public testing::Test {
 protected:
  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture log_{-1};
  ZRPlatformInfo info_;
};

TEST_F(PlatformInfo, KeepsEveryBitOfANumberBySectionAndKey) {
  uint64_t value = 17;
  EXPECT_EQ(0, info_.getNumber("Ferrynode", "k", value));  // absent: the value stays
  EXPECT_EQ(17u, value);
  ASSERT_EQ(0, info_.setNumber("Ferrynode", "k", 1));
  ASSERT_EQ(0, info_.setNumber("Ferrynode", "k", UINT64_MAX));  // replaces
  ASSERT_EQ(0, info_.setNumber("Ferrynode", "b", 2));
  ASSERT_EQ(0, info_.setNumber("Other", "k", 5));
  EXPECT_NE(0, info_.getNumber("Ferrynode", "k", value));
  EXPECT_EQ(UINT64_MAX, value);
  EXPECT_NE(0, ZRPlatformInfo().getNumber("Other", "k", value));
  EXPECT_EQ(5u, value);
  EXPECT_EQ(0, info_.getNumber("Ferrynode", "K", value));

  // Deleting removes only that entry, and deleting again is no failure.
  EXPECT_EQ(0, info_.deleteField("Ferrynode", "k"));
  EXPECT_EQ(0, info_.deleteField("Ferrynode", "k"));
  EXPECT_EQ(0, info_.getNumber("Ferrynode", "k", value));
  EXPECT_NE(0, info_.getNumber("Ferrynode", "b", value));
  EXPECT_NE(0, info_.getNumber("Other", "k", value));
}

TEST_F(PlatformInfo, AStoreThatCannotBeReadHasNoEntriesAndTakesNone) {
  info_.setNumber("Ferrynode", "a", 1);
  platform_.MakeStoreUnreadable();
  uint64_t value = 9;
  EXPECT_EQ(0, info_.getNumber("Ferrynode", "a", value));
  EXPECT_EQ(9u, value);
  EXPECT_NE(0, info_.setNumber("Ferrynode", "a", 2));
  EXPECT_NE(0, info_.deleteField("Ferrynode", "a"));
  EXPECT_EQ(3u, log_->lines().size());
}

}  // namespace
