// The local platform's view configuration, on each store: one list per
// subclient, written only over the version its writer read.

#include <gtest/gtest.h>

#include <string>

#include "AppMgr.h"
#include "support/EachStore.h"

namespace {

constexpr unsigned long kSubclient = 7;

class ViewConfiguration : public testsupport::OnEachStore {};

TEST_P(ViewConfiguration, OfTwoRacingWritersTheSecondFailsAndNothingIsLost) {
  Subclient first(kSubclient), second(kSubclient);
  std::string firstList = "unread", secondList = "unread";
  ASSERT_EQ(first.getVeskViewConfiguration(firstList, nullptr), 0);
  ASSERT_EQ(second.getVeskViewConfiguration(secondList, nullptr), 0);
  EXPECT_EQ(firstList, "");

  EXPECT_EQ(first.setVeskViewConfiguration("A;", nullptr), 0);
  EXPECT_NE(second.setVeskViewConfiguration("B;", nullptr), 0);
  EXPECT_EQ(platform_.store().ReadViewList(kSubclient).text, "A;");

  // The loser reads again and builds on the winner's change.
  ASSERT_EQ(second.getVeskViewConfiguration(secondList, nullptr), 0);
  EXPECT_EQ(second.setVeskViewConfiguration(secondList + "B;", nullptr), 0);
  // A writer can go on from its own write, and fails once someone else wrote.
  EXPECT_EQ(second.setVeskViewConfiguration("A;B;C;", nullptr), 0);
  EXPECT_NE(first.setVeskViewConfiguration("A;X;", nullptr), 0);
  EXPECT_EQ(platform_.store().ReadViewList(kSubclient).text, "A;B;C;");
}

TEST_P(ViewConfiguration, AWriteWithoutAReadNeverReplacesAStoredList) {
  EXPECT_EQ(Subclient(kSubclient).setVeskViewConfiguration("A;", nullptr), 0);
  EXPECT_NE(Subclient(kSubclient).setVeskViewConfiguration("B;", nullptr), 0);
  EXPECT_EQ(platform_.store().ReadViewList(kSubclient).text, "A;");
  EXPECT_EQ(Subclient(kSubclient + 1).setVeskViewConfiguration("C;", nullptr), 0);
}

INSTANTIATE_ON_EACH_STORE(ViewConfiguration);

}  // namespace
