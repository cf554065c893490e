// JSON string text of the snaphost commands.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "JsonText.h"

namespace {

TEST(JsonString, EscapesWhatJsonNeeds) {
  for (const auto& [text, json] : std::vector<std::pair<std::string, std::string>>{
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
           {"\xf4\x90\x80\x80", R"("\ufffd\ufffd\ufffd\ufffd")"}}) {
    EXPECT_EQ(json, snaphost::JsonString(text));
  }
}

}  // namespace
