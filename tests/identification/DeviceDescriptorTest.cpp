// Reading values out of device descriptors.

#include <gtest/gtest.h>

#include <string>

#include "DeviceDescriptor.h"

namespace {

constexpr char kUnchanged[] = "<unchanged>";
const char kShareDescriptor[] = "{orutype:,type:nfs,lunuuid:/a-b_1,targethostname:srv}";

TEST(GetJsonVal, ReadsTheValueOrLeavesTheOutputAlone) {
  struct Case {
    const char* descriptor;
    const char* key;
    bool found;
    const char* value;  // what `value` holds afterwards
  };
  const Case cases[] = {
      // Every key of a well-formed descriptor, first, middle and last; "type"
      // is not found inside "orutype:".
      {kShareDescriptor, "orutype", true, ""},
      {kShareDescriptor, "type", true, "nfs"},
      {kShareDescriptor, "lunuuid", true, "/a-b_1"},
      {kShareDescriptor, "targethostname", true, "srv"},
      // Keys match byte for byte, and only whole.
      {kShareDescriptor, "TYPE", false, kUnchanged},
      {kShareDescriptor, "host", false, kUnchanged},
      // A value needs a delimiter after it.
      {"{lunuuid:abc", "lunuuid", false, kUnchanged},
      {"{lunuuid:}", "lunuuid", true, ""},
      // The first ',' ends a value even after a '}'.
      {"{a:x}{b:y,c:z}", "a", true, "x}{b:y"},
      // The brace form wins over an earlier comma form.
      {",k:first,{k:second}", "k", true, "second"},
      // Among entries of one form, the first wins.
      {"{a:1,k:first,k:second}", "k", true, "first"},
      // A ':' inside a value belongs to it.
      {"{k:x:y}", "k", true, "x:y"},
      // No whitespace is skipped before a key.
      {"{ lunuuid:/x}", "lunuuid", false, kUnchanged},
      // Escaped slashes stay as they are.
      {"{lunuuid:\\/share1\\/dir,targethostname:h}", "lunuuid", true, "\\/share1\\/dir"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " in " + c.descriptor);
    std::string value = kUnchanged;
    EXPECT_EQ(c.found, GetJsonVal(c.descriptor, c.key, value));
    EXPECT_EQ(c.value, value);
  }
}

TEST(GetJsonVal, ReadsTheDescriptorIntoItsOwnText) {
  std::string text = "{lunuuid:/share1,targethostname:h}";
  EXPECT_TRUE(GetJsonVal(text, "lunuuid", text));
  EXPECT_EQ("/share1", text);
}

}  // namespace
