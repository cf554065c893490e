// The view list split. Building and reading view records, and what the
// catalogue does with the lists, are in tests/transcripts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ViewListFormat.h"

namespace {

using Pieces = std::vector<std::string>;

TEST(ViewList, SplitsAtRunsOfSeparatorsWithoutEmptyPieces) {
  const std::pair<std::string, Pieces> cases[] = {
      {"", {}},
      {";", {}},
      {";;", {}},
      {"A", {"A"}},
      {"A;;B", {"A", "B"}},
      {";A;B;", {"A", "B"}},
      {" A ;B", {" A ", "B"}},
      {std::string("A\0B;C", 5), {std::string("A\0B", 3), "C"}},
  };
  for (const auto& [list, pieces] : cases) EXPECT_EQ(formats::SplitViewList(list), pieces) << list;
}

}  // namespace
