// Exactly what each built library exports, sorted, demangled, with
// std::string written so, and nothing of the standard library. The plug-in
// (tests/engine/exported-symbols.txt): the eleven entry points by plain name
// and its own functions by decorated name, no vtable or typeinfo. The
// platform (tests/localplatform/exported-symbols.txt): the classes and
// objects of the plug-in's platform declarations, with the vtables and
// typeinfo of theirs that have them, and the administration interface. Any change to a list,
// an addition included, fails here on purpose: the plug-in's list is its
// contract with every host that loads it, the platform's what it offers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
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
    // What AddressSanitizer adds beside each exported object.
    if (std::strncmp(line, "__odr_asan", 10) == 0) continue;
    names.push_back(std::regex_replace(line, longString, "std::string"));
  }
  return names;
}

struct Library {
  const char* name;
  const char* path;
  const char* listed;
};

void PrintTo(const Library& library, std::ostream* out) { *out << library.name; }

class ExportedSurface : public testing::TestWithParam<Library> {};

TEST_P(ExportedSurface, IsExactlyTheListedSymbols) {
  const std::string command = std::string("nm -D --defined-only -C -j '") + GetParam().path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<std::string> exported = Lines(pipe);
  if (pipe != nullptr) pclose(pipe);
  std::sort(exported.begin(), exported.end());
  std::vector<std::string> expected;
  std::ifstream file(GetParam().listed);
  for (std::string line; std::getline(file, line);) expected.push_back(line);
  ASSERT_FALSE(expected.empty()) << GetParam().listed;
  EXPECT_EQ(exported, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, ExportedSurface,
    testing::Values(Library{"Plugin", ZRSO_PLUGIN_PATH, ZRSO_EXPORTED_SYMBOLS},
                    Library{"Platform", ZRSO_PLATFORM_PATH, ZRSO_PLATFORM_SYMBOLS}),
    [](const testing::TestParamInfo<Library>& info) { return std::string(info.param.name); });

}  // namespace
