// Exactly what the built plug-in exports: the eleven entry points by plain
// name and the plug-in's own functions by decorated name, nothing of the
// standard library and no vtable or typeinfo. Any change to the list, an
// addition included, fails here on purpose: the list is the plug-in's
// contract with every host that loads it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

// Sorted, demangled, with std::string written so.
const std::vector<std::string> kExported = {
    "CheckPITView(CheckPITViewArgs&, bool&, std::string&)",
    "CreatePITView(CreatePITViewArgs&, std::string&, bool&)",
    "DeletePITView(DeletePITViewArgs&, std::string&)",
    "DeleteUserXMLString(std::string&)",
    "ExtractSnapDetails(ZRSO::SnapInfo*, std::string&, std::string&, std::string&, std::string&, "
    "int&, std::string&, std::string&)",
    "FindArrayUsingOtherNames(ZRSO::SnapInfo*, std::string const&)",
    "FindArrayUsingOtherNames(std::string const&, std::string const&)",
    "FindNfsShare(std::string const&, std::string const&, std::string&, int&, std::string&)",
    "GetJsonVal(std::string const&, std::string const&, std::string&)",
    "GetSnapXmlString(std::string&, std::string&, std::string&, std::string&, std::string&, "
    "std::string&, std::string&, std::string&, std::string&, std::string&, std::string&)",
    "GetValueFromXmlString(std::string const&, std::string const&, int&)",
    "GetValueFromXmlString(std::string const&, std::string const&, std::string&)",
    "IsMapped(ZRSO::SnapInfo*, ZRSO::ZROSUtil*)",
    "MapSnap(ZRSO::SnapInfo*, ZRSO::ZROSUtil*, std::string const&)",
    "NumToStr[abi:cxx11](int)",
    "PrintSnapInfo(ZRSO::SnapInfo*)",
    "SendCommandToNfsServer(std::string const&, ExportType, VeskOperationType, unsigned long, "
    "std::string&, std::string&)",
    "StartVeskServer(std::string const&, Vesk::VeskConfigClient*&)",
    "UnMapSnap(ZRSO::SnapInfo*, ZRSO::ZROSUtil*)",
    "zrso_deleteSnaps",
    "zrso_isMapped",
    "zrso_isSupported",
    "zrso_mapSnaps",
    "zrso_prepareDevices",
    "zrso_reconcileSnaps",
    "zrso_revertSnaps",
    "zrso_snapDevices",
    "zrso_unmapSnaps",
    "zrso_unprepareDevices",
    "zrso_version",
};

// The defined dynamic symbols of `library`, demangled, sorted.
std::vector<std::string> ExportedSymbols(const std::string& library) {
  const std::regex longString(
      "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >");
  std::vector<std::string> names;
  FILE* pipe = popen(("nm -D --defined-only -C -j '" + library + "'").c_str(), "r");
  char line[4096];
  while (pipe != nullptr && std::fgets(line, sizeof(line), pipe) != nullptr) {
    line[std::strcspn(line, "\n")] = '\0';
    names.push_back(std::regex_replace(line, longString, "std::string"));
  }
  if (pipe != nullptr) pclose(pipe);
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ExportedSurface, IsExactlyTheEntryPointsAndThePluginsOwnFunctions) {
  EXPECT_EQ(ExportedSymbols(ZRSO_PLUGIN_PATH), kExported);
}

}  // namespace
