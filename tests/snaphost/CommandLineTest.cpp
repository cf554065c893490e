// snaphost as a person runs it: one session of command lines on a fresh
// home (session.txt), each with its exit code (the README's table: 0, 1, 2
// for batches, 3 for usage errors and named failures) and what it prints.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/Builders.h"
#include "support/SnaphostProcess.h"
#include "support/TempPlatform.h"

namespace {

struct Step {
  std::string command;  // space-separated arguments, '' an empty one
  int exitCode = 0;
  std::string out = "^$";  // a regular expression that standard output matches
  std::string err = "^$";  // and one for standard error
};

std::vector<Step> Session() {
  std::vector<Step> steps;
  std::ifstream file(ZRSO_SESSION);
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::string word = line.substr(0, line.find(' ')), rest = line.substr(word.size() + 1);
    if (word == "$") steps.push_back({rest});
    if (word == "exit") steps.back().exitCode = std::stoi(rest);
    if (word == "out") steps.back().out = rest;
    if (word == "err") steps.back().err = rest;
    if (word == "usage") {
      steps.back().err = "^snaphost: " + rest + "\\nRun with --help for more information\\.\\n$";
    }
  }
  return steps;
}

class CommandLine : public testing::Test {
 protected:
  testsupport::SnaphostRun Run(const std::string& command) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word == "''" ? "" : word);
    return testsupport::RunSnaphost(platform_.folder(), args);
  }

  testsupport::TempPlatform platform_;
};

TEST_F(CommandLine, SessionKeepsItsPromises) {
  const std::vector<Step> session = Session();
  ASSERT_FALSE(session.empty());
  for (const Step& step : session) {
    testsupport::SnaphostRun run = Run(step.command);
    EXPECT_EQ(run.exitCode, step.exitCode) << step.command << "\n" << run.out << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex(step.out))) << step.command << "\n"
                                                                  << run.out;
    EXPECT_TRUE(std::regex_search(run.err, std::regex(step.err))) << step.command << "\n"
                                                                  << run.err;
  }
}

// Showing a list is administration: it never writes to the plug-in's log,
// not even for a piece that lacks tags.
TEST_F(CommandLine, ShowsAViewListAsStoredAndParsedWithoutLogging) {
  const std::string record = testsupport::ViewRecord({"v_1", "/s-v_1", "srvA", "3", "100", "c1"});
  platform_.PutViewList(7, ";" + record + ";;<MntPath>/x</MntPath>");
  EXPECT_EQ(Run("views show 7").out,
            "stored: ;" + record +
                ";;<MntPath>/x</MntPath>\n"
                "PIECE  ToTime  MntPath  NFSClient  UID  GID  SnapName  NFSServer  CopyPrecedence  "
                "ReadOnly  WritablePIT\n"
                "1      100     /s-v_1   c1         *    *    v_1       srvA       3               "
                "0         1\n"
                "2      -       /x       -          -    -    -         -          -               "
                "-         -\n");
  EXPECT_NE(Run("views show 7 --json")
                .out.find("},{\"piece\":2,\"ToTime\":null,\"MntPath\":\"/x\",\"NFSClient\":null,"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(platform_.folder() + "/zrso.log"));
}

// Names may hold any byte but NUL: their JSON escapes what it must and shows
// what is not UTF-8 as U+FFFD, one for each broken sequence or stray byte.
TEST_F(CommandLine, JsonOfAwkwardNamesStaysValid) {
  const std::string bad = "\xef\xbf\xbd";
  for (const auto& [name, json] : std::vector<std::pair<std::string, std::string>>{
           {"q\"b\\/", R"(q\"b\\/)"},
           {"\n\r\t\b\f", R"(\n\r\t\b\f)"},
           {"\x01\x1f\x7f", "\\u0001\\u001f\x7f"},
           {"caf\xc3\xa9 \xf0\x9f\x99\x82", "caf\xc3\xa9 \xf0\x9f\x99\x82"},
           {"\xff.\xc0\xaf", bad + "." + bad + bad},
           {"a\xe2\x82z", "a" + bad + "z"},
           {"z\xed\xa0\x80\xf0\x9f", "z" + bad + bad + bad + bad}}) {
    platform_.PutViewList(7, ";<MntPath>" + name + "</MntPath>");
    const std::string out = Run("views show 7 --json").out;
    EXPECT_EQ(out.rfind("{\"stored\":\";<MntPath>" + json + "</MntPath>\",", 0), 0u) << out;
    EXPECT_NE(out.find("\"MntPath\":\"" + json + "\""), std::string::npos) << out;
  }
}

}  // namespace
