// The built plug-in's dynamic symbols: the eleven entry points by plain name
// and nothing else undecorated. Loading it and resolving the entry points is
// PluginLoaderTest's.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

const std::set<std::string> kEntryPoints = {
    "zrso_version",     "zrso_isSupported", "zrso_prepareDevices", "zrso_unprepareDevices",
    "zrso_snapDevices", "zrso_isMapped",    "zrso_mapSnaps",       "zrso_unmapSnaps",
    "zrso_deleteSnaps", "zrso_revertSnaps", "zrso_reconcileSnaps"};

std::set<std::string> DefinedDynamicSymbols(const std::string& library) {
  std::set<std::string> names;
  FILE* pipe = popen(("nm -D --defined-only '" + library + "'").c_str(), "r");
  if (pipe == nullptr) return names;
  char line[4096];
  while (std::fgets(line, sizeof(line), pipe) != nullptr) {
    std::string text(line);
    size_t last = text.find_last_of(' ');
    names.insert(text.substr(last + 1, text.find_first_of("\r\n") - last - 1));
  }
  pclose(pipe);
  return names;
}

TEST(ExportedSurface, NoStrayUndecoratedSymbols) {
  std::set<std::string> symbols = DefinedDynamicSymbols(ZRSO_PLUGIN_PATH);
  ASSERT_FALSE(symbols.empty()) << "nm found nothing in " << ZRSO_PLUGIN_PATH;
  for (const std::string& symbol : symbols) {
    bool decorated = symbol.rfind("_Z", 0) == 0;
    EXPECT_TRUE(decorated || kEntryPoints.count(symbol) == 1) << "stray export " << symbol;
  }
  for (const std::string& name : kEntryPoints) EXPECT_EQ(symbols.count(name), 1u) << name;
  // Functions of the plug-in are exported under their decorated names.
  EXPECT_EQ(symbols.count("_Z13PrintSnapInfoPN4ZRSO8SnapInfoE"), 1u);
}

}  // namespace
