// Reading values out of device descriptors.

#include <gtest/gtest.h>

#include <string>

#include "identification/DeviceDescriptor.h"

namespace {

constexpr char kUnchanged[] = "<unchanged>";

struct Case {
  const char* descriptor;
  const char* key;
  bool found;
  const char* value;  // what `value` holds afterwards
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.key << " in " << c.descriptor; }

const char kShareDescriptor[] = "{orutype:,type:nfs,lunuuid:/a-b_1,targethostname:srv}";

const Case kCases[] = {
    // Every key of a well-formed descriptor, first, middle and last.
    {kShareDescriptor, "orutype", true, ""},
    {kShareDescriptor, "type", true, "nfs"},
    {kShareDescriptor, "lunuuid", true, "/a-b_1"},
    {kShareDescriptor, "targethostname", true, "srv"},
    // Keys match byte for byte, and only whole.
    {kShareDescriptor, "TYPE", false, kUnchanged},
    {kShareDescriptor, "host", false, kUnchanged},
    {kShareDescriptor, "utype", false, kUnchanged},
    {kShareDescriptor, "", false, kUnchanged},
    // A value needs a delimiter after it.
    {"{lunuuid:abc", "lunuuid", false, kUnchanged},
    {"{lunuuid:}", "lunuuid", true, ""},
    // The first ',' ends a value even after a '}'.
    {"{a:x}{b:y,c:z}", "a", true, "x}{b:y"},
    // The brace form wins over an earlier comma form.
    {",k:first,{k:second}", "k", true, "second"},
    {",k:first,{j:second}", "k", true, "first"},
    // Among entries of one form, the first wins.
    {"{a:1,k:first,k:second}", "k", true, "first"},
    // A ':' inside a value belongs to it; so do spaces.
    {"{k:x:y}", "k", true, "x:y"},
    {"{k: spaced ,j:1}", "k", true, " spaced "},
    // No whitespace is skipped before a key.
    {"{ lunuuid:/x}", "lunuuid", false, kUnchanged},
    // Escaped slashes stay as they are.
    {"{lunuuid:\\/share1\\/dir,targethostname:h}", "lunuuid", true, "\\/share1\\/dir"},
    {"", "k", false, kUnchanged},
    {"{k:", "k", false, kUnchanged},
};

class GetJsonValTable : public testing::TestWithParam<Case> {};

TEST_P(GetJsonValTable, ReadsTheValueOrLeavesTheOutputAlone) {
  const Case& c = GetParam();
  std::string value = kUnchanged;
  EXPECT_EQ(c.found, GetJsonVal(c.descriptor, c.key, value));
  EXPECT_EQ(c.value, value);
}

INSTANTIATE_TEST_SUITE_P(Descriptors, GetJsonValTable, testing::ValuesIn(kCases));

TEST(GetJsonVal, ReadsTheDescriptorIntoItsOwnText) {
  std::string text = "{lunuuid:/share1,targethostname:h}";
  EXPECT_TRUE(GetJsonVal(text, "lunuuid", text));
  EXPECT_EQ("/share1", text);
}

}  // namespace
