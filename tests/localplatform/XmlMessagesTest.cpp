// Message records to XML text and back.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "XmlMessages.h"
#include "support/ShareMessages.h"

namespace {

using testsupport::AddShare;
using testsupport::ClientNameOf;
using testsupport::ShareOf;
using testsupport::SubclientOf;
using testsupport::ShareList;

TEST(XmlMessages, AShareListSurvivesTheRoundTrip) {
  for (bool pretty : {false, true}) {
    App::GetNFSShareResp sent;
    AddShare(sent, "share1", "nfs01", 42);
    AddShare(sent, "share2", "nfs02", INT64_MIN);
    AddShare(sent, "share3", "nfs03", INT64_MAX);
    std::string xml;
    ASSERT_EQ(0, sent.serialize(xml, pretty));

    App::GetNFSShareResp received;
    ASSERT_EQ(0, received.unserialize(xml)) << xml;
    CNMessageList& entries = ShareList(received);
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("share2", ShareOf(*entries[1]));
    EXPECT_EQ("nfs02", ClientNameOf(*entries[1]));
    EXPECT_EQ(INT64_MIN, SubclientOf(*entries[1]));
    EXPECT_EQ(INT64_MAX, SubclientOf(*entries[2]));
    EXPECT_EQ(643, entries[0]->type());

    std::string again;
    received.serialize(again, pretty);
    EXPECT_EQ(xml, again);
  }
}

TEST(XmlMessages, FieldsAreAddressedByEveryNumber) {
  CNMessageBase message(30, 643);
  message.setstring(2, 2, 513467887, 4977462, "a");
  message.setstring(2, 3, 513467887, 4977462, "b");
  message.setstring(2, 2, 513467887, 4977463, "c");
  message.setint64(1, 513467887, 10794118, 5);
  EXPECT_EQ("a", message.getstring(2, 2, 513467887, 4977462));
  EXPECT_EQ("b", message.getstring(2, 3, 513467887, 4977462));
  EXPECT_EQ("c", message.getstring(2, 2, 513467887, 4977463));
  EXPECT_EQ("", message.getstring(3, 2, 513467887, 4977462));
  EXPECT_EQ(5, message.getint64(1, 513467887, 10794118));
  EXPECT_EQ(0, message.getint64(2, 513467887, 10794118));
}

TEST(XmlMessages, TextKeepsEveryCharacter) {
  for (const std::string text : {"", "  two  ", "a&b<c>d\"e'f", "]]>", "&amp;", "line\r\nnext\r",
                                 "\t\x01\x1f", "caf\xc3\xa9"}) {
    CNMessageBase sent(30, 643);
    sent.setstring(2, 2, 1, 1, text);
    for (bool pretty : {false, true}) {
      std::string xml;
      sent.serialize(xml, pretty);
      CNMessageBase received(30, 643);
      ASSERT_EQ(0, received.unserialize(xml)) << xml;
      EXPECT_EQ(text, received.getstring(2, 2, 1, 1)) << xml;
    }
  }
}

// Each of these leaves the record empty, whatever it held.
const char* const kMalformed[] = {
    "",
    "not xml",
    "<Message domain=\"30\" type=\"643\"/>",
    "<Message domain=\"31\" type=\"644\"/>",
    "<Message type=\"644\"/>",
    "<Message domain=\"30\" type=\"644\"/><Message domain=\"30\" type=\"644\"/>",
    "text<Message domain=\"30\" type=\"644\"/>",
    "<Other domain=\"30\" type=\"644\"/>",
    "<Message domain=\"30\" type=\"644\">text</Message>",
    "<Message domain=\"30\" type=\"644\"><Unknown/></Message>",
    "<Message domain=\"30\" type=\"644\"><String group=\"1\" index=\"1\" message=\"1\"/></Message>",
    "<Message domain=\"30\" type=\"644\"><String group=\"40000\" index=\"1\" message=\"1\" "
    "field=\"1\"/></Message>",
    "<Message domain=\"30\" type=\"644\"><String group=\"1\" index=\"1\" message=\"-1\" "
    "field=\"1\"/></Message>",
    "<Message domain=\"30\" type=\"644\"><String group=\"1\" index=\"1\" message=\"1\" "
    "field=\"1\"><b/></String></Message>",
    "<Message domain=\"30\" type=\"644\"><String group=\"1\" index=\"1\" message=\"1\" "
    "field=\"1\"/>"
    "<String group=\"1\" index=\"1\" message=\"1\" field=\"1\"/></Message>",
    "<Message domain=\"30\" type=\"644\"><Int64 index=\"1\" message=\"1\" "
    "field=\"1\">9223372036854775808</Int64></Message>",
    "<Message domain=\"30\" type=\"644\"><Int64 index=\"1\" message=\"1\" "
    "field=\"1\">12x</Int64></Message>",
    "<Message domain=\"30\" type=\"644\"><Int64 index=\"1\" message=\"1\" field=\"1\"/></Message>",
    "<Message domain=\"30\" type=\"644\"><List group=\"1\" index=\"1\" message=\"509091626\" "
    "field=\"1427983\"><String group=\"1\" index=\"1\" message=\"1\" "
    "field=\"1\"/></List></Message>",
    "<Message domain=\"30\" type=\"644\"><List group=\"1\" index=\"1\" message=\"509091626\" "
    "field=\"1427983\"><Message domain=\"30\"/></List></Message>",
};

TEST(XmlMessages, MalformedTextLeavesAnEmptyRecord) {
  for (const char* malformed : kMalformed) {
    App::GetNFSShareResp response;
    AddShare(response, "share1", "nfs01", 42);
    response.setstring(1, 1, 1, 1, "kept?");
    std::string xml = malformed;
    EXPECT_NE(0, response.unserialize(xml)) << xml;
    EXPECT_TRUE(ShareList(response).empty()) << xml;
    EXPECT_EQ("", response.getstring(1, 1, 1, 1)) << xml;
  }
}

std::string Nested(int depth) {
  std::string open;
  std::string close;
  for (int i = 0; i < depth; ++i) {
    open +=
        "<List group=\"1\" index=\"1\" message=\"1\" field=\"1\"><Message domain=\"1\" type=\"1\">";
    close = "</Message></List>" + close;
  }
  return "<Message domain=\"30\" type=\"644\">" + open + close + "</Message>";
}

TEST(XmlMessages, NestingIsBounded) {
  App::GetNFSShareResp response;
  std::string shallow = Nested(16);
  EXPECT_EQ(0, response.unserialize(shallow));
  std::string deep = Nested(10000);
  EXPECT_NE(0, response.unserialize(deep));
}

TEST(XmlMessages, LayoutCommentsAndADeclarationAreAccepted) {
  std::string xml =
      "<?xml version=\"1.0\"?>\n<!-- shares -->\n<Message domain=\"30\" type=\"644\">\n"
      "  <List group=\"1\" index=\"1\" message=\"509091626\" field=\"1427983\">\n"
      "    <Message domain=\"30\" type=\"643\"><!-- one -->\n"
      "      <String group=\"2\" index=\"2\" message=\"513467887\" "
      "field=\"4977462\">s<![CDATA[&]]>1</String>\n"
      "    </Message>\n  </List>\n</Message>\n";
  App::GetNFSShareResp response;
  ASSERT_EQ(0, response.unserialize(xml));
  ASSERT_EQ(1u, ShareList(response).size());
  EXPECT_EQ("s&1", ShareOf(*ShareList(response)[0]));
}

// Numbers are read as strtoll and strtoull read them, with the whole text
// taken and the value in the field's range; an unsigned one may not start
// with a sign or a blank.
TEST(XmlMessages, NumbersAreReadInEveryFormTheyWereAlwaysReadIn) {
  const struct {
    const char* text;
    bool read;
    int64_t value;
  } values[] = {
      {"42", true, 42},
      {"-7", true, -7},
      {"+7", true, 7},
      {" 7", true, 7},
      {"\t7", true, 7},
      {"007", true, 7},
      {"123456789012345678", true, 123456789012345678},
      {"9223372036854775807", true, INT64_MAX},
      {"-9223372036854775808", true, INT64_MIN},
      {"9223372036854775808", false, 0},
      {"99999999999999999999", false, 0},
      {"7 ", false, 0},
      {"-", false, 0},
      {"1e3", false, 0},
  };
  for (const auto& v : values) {
    std::string xml = std::string("<Message domain=\"30\" type=\"643\"><Int64 index=\"1\" message=\"2\" "
                                  "field=\"3\">") + v.text + "</Int64></Message>";
    App::NFSShares entry;
    EXPECT_EQ(entry.unserialize(xml) == 0, v.read) << v.text;
    EXPECT_EQ(entry.getint64(1, 2, 3), v.value) << v.text;
  }

  const struct {
    const char* group;
    const char* message;
    const char* field;
    bool read;
  } addresses[] = {
      {"-32768", "0", "0", true},
      {"32767", "18446744073709551615", "4294967295", true},
      {"32768", "1", "1", false},
      {"1", "18446744073709551616", "1", false},
      {"1", "1", "4294967296", false},
      {"1", "-1", "1", false},
      {"1", "+1", "1", false},
      {"1", " 1", "1", false},
      {"1", "\t1", "1", true},
      {"1", "1", "01", true},
      {" 1", "1", "1", true},
  };
  for (const auto& a : addresses) {
    std::string xml = std::string("<Message domain=\"30\" type=\"643\"><String group=\"") + a.group +
                      "\" index=\"1\" message=\"" + a.message + "\" field=\"" + a.field +
                      "\">x</String></Message>";
    App::NFSShares entry;
    EXPECT_EQ(entry.unserialize(xml) == 0, a.read) << xml;
  }
}

}  // namespace
