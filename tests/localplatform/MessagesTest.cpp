// Records read from one text share what was read until one of them
// changes: a change is seen in that record alone, serialises as the same
// change made to a record built field by field, and leaves the text read
// as it was for every later reader. A different text is read afresh.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "XmlMessages.h"
#include "support/ShareMessages.h"

namespace {

using testsupport::ShareList;
using testsupport::ShareOf;

// A share list with an entry per share; the first entry holds a list of
// one entry of its own.
void SetShare(CNMessageBase& entry, const std::string& share) {
  entry.setstring(App::kShareGroup, App::kShareIndex, App::kNFSSharesMessage, App::kShareField,
                  share);
}

void BuildList(CNMessageBase& response, const std::vector<std::string>& shares) {
  for (const std::string& share : shares) {
    ShareList(response).push_back(std::make_shared<App::NFSShares>());
    SetShare(*ShareList(response).back(), share);
  }
  ShareList(*ShareList(response)[0]).push_back(std::make_shared<App::NFSShares>());
}

std::string ListText(const std::vector<std::string>& shares) {
  App::GetNFSShareResp response;
  BuildList(response, shares);
  std::string text;
  response.serialize(text, false);
  return text;
}

std::string Written(CNMessageBase& message) {
  std::string text;
  message.serialize(text, false);
  return text;
}

TEST(SharedReading, AChangeIsSeenInTheChangedRecordAlone) {
  const std::vector<std::string> shares = {"a", "b"};
  std::string text = ListText(shares);
  const struct {
    const char* change;
    std::function<void(CNMessageBase&)> make;
  } cases[] = {
      {"a field of the record", [](CNMessageBase& m) { m.setstring(3, 3, 3, 3, "top"); }},
      {"a share", [](CNMessageBase& m) { SetShare(*ShareList(m)[1], "c"); }},
      {"a number", [](CNMessageBase& m) { ShareList(m)[0]->setint64(1, 2, 3, 42); }},
      {"an entry added", [](CNMessageBase& m) { ShareList(m).push_back(ShareList(m)[1]); }},
      {"an entry removed", [](CNMessageBase& m) { ShareList(m).pop_back(); }},
      {"an entry's own list",
       [](CNMessageBase& m) {
         ShareList(*ShareList(*ShareList(m)[0])[0]).push_back(std::make_shared<App::NFSShares>());
       }},
  };
  for (const auto& c : cases) {
    App::GetNFSShareResp changed, other, built;
    ASSERT_EQ(changed.unserialize(text), 0);
    ASSERT_EQ(other.unserialize(text), 0);
    ShareList(other);  // both hold their lists
    c.make(changed);
    BuildList(built, shares);
    c.make(built);
    EXPECT_EQ(Written(changed), Written(built)) << c.change;
    EXPECT_EQ(Written(other), text) << c.change;
    App::GetNFSShareResp later;
    ASSERT_EQ(later.unserialize(text), 0);
    EXPECT_EQ(Written(later), text) << c.change;
  }
}

TEST(SharedReading, ADifferentTextIsReadAfresh) {
  std::shared_ptr<CNMessageBase> kept;
  for (const char* share : {"first", "second", "first"}) {
    App::GetNFSShareResp response;
    std::string text = ListText({share});
    ASSERT_EQ(response.unserialize(text), 0);
    EXPECT_EQ(ShareOf(*ShareList(response)[0]), share);
    if (kept == nullptr) kept = ShareList(response)[0];
  }
  EXPECT_EQ(ShareOf(*kept), "first");  // outlives its record and the text it was read from
  std::string text = ListText({"first"});
  App::NFSShares entry;  // the same text read as another record type is refused
  EXPECT_NE(entry.unserialize(text), 0);
}

}  // namespace
