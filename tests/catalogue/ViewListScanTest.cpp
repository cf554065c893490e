// The list scans match pieces where they stand in the list; every answer and
// every message must be the one reading each piece out with
// GetValueFromXmlString gives.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/SnapViewRecord.h"
#include "catalogue/ViewList.h"
#include "catalogue/ViewListAccess.h"
#include "support/CapturingLogWriter.h"

namespace {

std::vector<testsupport::LogLine> LoggedWhile(const std::function<void()>& action) {
  testsupport::ScopedCapture capture(4);
  action();
  return capture->lines();
}

bool SameLines(const std::vector<testsupport::LogLine>& left,
               const std::vector<testsupport::LogLine>& right) {
  if (left.size() != right.size()) return false;
  for (size_t i = 0; i < left.size(); ++i) {
    if (left[i].level != right[i].level || left[i].function != right[i].function ||
        left[i].message != right[i].message) {
      return false;
    }
  }
  return true;
}

TEST(ViewListScan, PieceMatchingAgreesWithReadingTheValueOut) {
  struct Case {
    std::string piece;
    const char* tag;
    const char* wanted;
  };
  const Case cases[] = {
      {"<MntPath>/s-v</MntPath>", "MntPath", "/s-v"},
      {"<MntPath>/s-v</MntPath>", "MntPath", "/s-"},
      {"<MntPath>/s-v2</MntPath>", "MntPath", "/s-v"},
      {"<SnapName></SnapName>", "SnapName", ""},
      {"<T>1</T><T>2</T>", "T", "2"},
      {"<MntPath>/a", "MntPath", "/a"},
      {"/a</MntPath>", "MntPath", "/a"},
      {"<mntpath>/a</mntpath>", "MntPath", "/a"},
      {"</MntPath><MntPath>/a", "MntPath", "/a"},  // everything after the opening
      {"</MntPath><MntPath>/a", "MntPath", ""},
      {std::string("<MntPath>/a\0b</MntPath>", 23), "MntPath", "/a"},
      {std::string("x\0<SnapName>", 12), "SnapName", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.piece);
    bool matched = false;
    auto scanned = LoggedWhile([&] { matched = PieceHasValue(c.piece, ViewTag(c.tag), c.wanted); });
    std::string value;
    int read = 0;
    auto readOut = LoggedWhile([&] { read = GetValueFromXmlString(c.piece, c.tag, value); });
    EXPECT_EQ(matched, read == 0 && value == c.wanted);
    EXPECT_TRUE(SameLines(scanned, readOut));
  }
}

TEST(ViewListScan, VisitsThePiecesSplittingFindsAndStopsWhenAsked) {
  const std::string lists[] = {"", ";;", "A", ";A;;B;", std::string("A\0B;C", 5), "A;B;C"};
  for (const std::string& list : lists) {
    std::vector<std::string> visited;
    EXPECT_FALSE(VisitViewPieces(list, [&](std::string_view piece) {
      visited.emplace_back(piece);
      return false;
    }));
    EXPECT_EQ(visited, SplitViewList(list)) << list;
  }
  std::vector<std::string> visited;
  EXPECT_TRUE(VisitViewPieces("A;B;C", [&](std::string_view piece) {
    visited.emplace_back(piece);
    return piece == "B";
  }));
  EXPECT_EQ(visited, (std::vector<std::string>{"A", "B"}));
}

}  // namespace
