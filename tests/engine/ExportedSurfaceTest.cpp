// Exactly what the built plug-in exports (exported-symbols.txt, sorted,
// demangled, with std::string written so): the eleven entry points by plain
// name and the plug-in's own functions by decorated name, nothing of the
// standard library and no vtable or typeinfo. Any change to the list, an
// addition included, fails here on purpose: the list is the plug-in's
// contract with every host that loads it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(FILE* pipe) {
  const std::regex longString(
      "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >");
  std::vector<std::string> names;
  char line[4096];
  while (pipe != nullptr && std::fgets(line, sizeof(line), pipe) != nullptr) {
    line[std::strcspn(line, "\n")] = '\0';
    names.push_back(std::regex_replace(line, longString, "std::string"));
  }
  return names;
}

TEST(ExportedSurface, IsExactlyTheEntryPointsAndThePluginsOwnFunctions) {
  FILE* pipe = popen("nm -D --defined-only -C -j '" ZRSO_PLUGIN_PATH "'", "r");
  std::vector<std::string> exported = Lines(pipe);
  if (pipe != nullptr) pclose(pipe);
  std::sort(exported.begin(), exported.end());
  std::vector<std::string> expected;
  std::ifstream file(ZRSO_EXPORTED_SYMBOLS);
  for (std::string line; std::getline(file, line);) expected.push_back(line);
  EXPECT_EQ(exported, expected);
}

}  // namespace
