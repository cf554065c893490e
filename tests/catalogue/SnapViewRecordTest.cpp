// View record building and reading, and the view list split.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "SnapViewRecord.h"
#include "ViewListFormat.h"
#include "support/CapturingLogWriter.h"

namespace {

using Pieces = std::vector<std::string>;

TEST(SnapViewRecord, IsBuiltFromTheTenValuesInStoredOrder) {
  std::string record = "earlier content";
  std::string a = "TIME", b = "PATH", c = "HOST", d = "*", e = "*", f = "NAME", g = "COPY",
              h = "SERVER", i = "0", j = "1";
  GetSnapXmlString(record, a, b, c, d, e, f, g, h, i, j);
  EXPECT_EQ(record,
            "<SnapStart><ToTime>TIME</ToTime><MntPath>PATH</MntPath><NFSClient>HOST</NFSClient>"
            "<UID>*</UID><GID>*</GID><SnapName>NAME</SnapName><NFSServer>SERVER</NFSServer>"
            "<CopyPrecedence>COPY</CopyPrecedence><ReadOnly>0</ReadOnly>"
            "<WritablePIT>1</WritablePIT></SnapStart>");
  EXPECT_EQ(h, "SERVER");  // values are left as they were
}

struct ReadCase {
  const char* xml;
  const char* tag;
  int result;
  const char* value;   // after the call; "before" when unchanged
  const char* logged;  // the one message expected, or nullptr
};

TEST(SnapViewRecord, ValueReading) {
  const ReadCase cases[] = {
      {"<A><MntPath>/s-v</MntPath></A>", "MntPath", 0, "/s-v", nullptr},
      {"<SnapName></SnapName>", "SnapName", 0, "", nullptr},
      {"<T>1</T><T>2</T>", "T", 0, "1", nullptr},
      {"<ReadOnly>1", "ReadOnly", -1, "before",
       "ERROR: Failed to parse [</ReadOnly>] from XML string [<ReadOnly>1]."},
      {"<X>1</X>", "SnapName", -1, "before",
       "ERROR: Failed to parse [<SnapName>] from XML string [<X>1</X>]."},
      // Tags match byte for byte.
      {"<mntpath>/a</mntpath>", "MntPath", -1, "before",
       "ERROR: Failed to parse [<MntPath>] from XML string [<mntpath>/a</mntpath>]."},
      // A closing text before the opening one: everything after the opening.
      {"</ReadOnly><ReadOnly>0<WritablePIT>1", "ReadOnly", 0, "0<WritablePIT>1", nullptr},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.xml);
    testsupport::ScopedCapture capture(-1);
    std::string value = "before";
    EXPECT_EQ(GetValueFromXmlString(c.xml, c.tag, value), c.result);
    EXPECT_EQ(value, c.value);
    if (c.logged == nullptr) {
      EXPECT_TRUE(capture->lines().empty());
    } else {
      ASSERT_EQ(capture->lines().size(), 1u);
      EXPECT_EQ(capture->lines()[0].message, c.logged);
      EXPECT_EQ(capture->lines()[0].level, -1);
    }
  }
}

TEST(SnapViewRecord, IntegerReadingConvertsAsAtoi) {
  const std::pair<const char*, int> cases[] = {{"<N>12abc</N>", 12},
                                               {"<N>abc</N>", 0},
                                               {"<N></N>", 0},
                                               {"<N> -7</N>", -7},
                                               {"<N>99999999999</N>", INT_MAX}};
  for (const auto& [xml, expected] : cases) {
    int value = 55;
    EXPECT_EQ(GetValueFromXmlString(xml, "N", value), 0) << xml;
    EXPECT_EQ(value, expected) << xml;
  }
  int value = 55;
  EXPECT_EQ(GetValueFromXmlString("<M>1</M>", "N", value), -1);
  EXPECT_EQ(value, 55);
}

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
