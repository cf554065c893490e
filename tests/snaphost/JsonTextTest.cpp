// JSON string text of the snaphost commands.

#include <gtest/gtest.h>

#include "JsonText.h"
#include "SnapRecord.h"

namespace {

struct Case {
  std::string text;
  std::string json;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.json; }

class JsonStringTable : public testing::TestWithParam<Case> {};

TEST_P(JsonStringTable, EscapesWhatJsonNeeds) {
  EXPECT_EQ(GetParam().json, snaphost::JsonString(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Texts, JsonStringTable,
                         testing::ValuesIn(std::vector<Case>{
                             {"", R"("")"},
                             {"plain /path", R"("plain /path")"},
                             {"q\"b\\", R"("q\"b\\")"},
                             {"{lunuuid:\\/share1}", R"("{lunuuid:\\/share1}")"},
                             {"\n\r\t\b\f", R"("\n\r\t\b\f")"},
                             {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\x7f\""},
                             {std::string("nul\0x", 5), R"("nul\u0000x")"},
                             {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x99\x82",
                              "\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x99\x82\""},
                             // Bytes that are not UTF-8 become U+FFFD, one each.
                             {"\xff", R"("\ufffd")"},
                             {"a\xe2\x82", R"("a\ufffd\ufffd")"},
                             {"\xc0\xaf", R"("\ufffd\ufffd")"},
                             {"\xed\xa0\x80", R"("\ufffd\ufffd\ufffd")"},
                             {"\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"},
                         }));

TEST(StatusMeaning, NamesTheStatusesOfTheSnapshotSteps) {
  EXPECT_STREQ("snapped", snaphost::StatusMeaning(5));
  EXPECT_STREQ("snap failed", snaphost::StatusMeaning(6));
  EXPECT_STREQ("none", snaphost::StatusMeaning(0));
  EXPECT_STREQ("unknown", snaphost::StatusMeaning(77));
}

}  // namespace
