#include "FileLogWriter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <regex>
#include <string>

#include "support/TempPlatform.h"

namespace {

TEST(FileLogWriter, AppendsOneLinePerMessage) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/logs/zrso.log";
  localplatform::InstallFileLogWriter(path, 4);
  g_ptrLogWriter->write(-1, "int f(int)", 12, 0, 0, "value [%s] count [%d]", "a b", 3);
  g_ptrLogWriter->write(4, "void g()", 99, 0, 0, "second");
  g_ptrLogWriter.reset();

  std::ifstream file(path);
  std::string first, second, third;
  ASSERT_TRUE(std::getline(file, first));
  ASSERT_TRUE(std::getline(file, second));
  EXPECT_FALSE(std::getline(file, third));
  std::regex shape(
      R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} pid \d+ tid \d+ level -1 \[int f\(int\):12\] value \[a b\] count \[3\])");
  EXPECT_TRUE(std::regex_match(first, shape)) << first;
  EXPECT_NE(second.find("level 4 [void g():99] second"), std::string::npos) << second;
}

TEST(FileLogWriter, LevelAndFileFromEnvironment) {
  struct Case { const char* text; int level; };
  for (const Case& c : {Case{nullptr, -1}, Case{"", -1}, Case{"4", 4}, Case{"0", 0}, Case{"x", -1},
                        Case{"3z", -1}}) {
    if (c.text == nullptr) {
      unsetenv("ZRSO_LOG_LEVEL");
    } else {
      setenv("ZRSO_LOG_LEVEL", c.text, 1);
    }
    EXPECT_EQ(localplatform::LogLevelFromEnvironment(), c.level) << (c.text ? c.text : "unset");
  }
  unsetenv("ZRSO_LOG_LEVEL");

  testsupport::TempPlatform platform;
  unsetenv("ZRSO_LOG_FILE");
  EXPECT_EQ(localplatform::LogFileFromEnvironment(), platform.folder() + "/zrso.log");
  setenv("ZRSO_LOG_FILE", "/somewhere/else.log", 1);
  EXPECT_EQ(localplatform::LogFileFromEnvironment(), "/somewhere/else.log");
  unsetenv("ZRSO_LOG_FILE");
}

}  // namespace
