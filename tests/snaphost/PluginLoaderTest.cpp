#include "PluginLoader.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <stdexcept>
#include <string>

namespace {

std::string LoadError(const std::string& path) {
  try {
    snaphost::Plugin plugin(path);
  } catch (const std::runtime_error& error) {
    return error.what();
  }
  return "";
}

TEST(PluginLoader, MissingLibraryIsNamed) {
  std::string error = LoadError("/nonexistent/libplugin.so");
  EXPECT_NE(error.find("cannot load plug-in /nonexistent/libplugin.so"), std::string::npos) << error;
}

TEST(PluginLoader, LibraryWithoutEntryPointsNamesEachMissingOne) {
  std::string other = std::string(ZRSO_PLUGIN_PATH);
  other = other.substr(0, other.rfind('/')) + "/libzrplatform.so";
  std::string error = LoadError(other);
  EXPECT_NE(error.find("lacks entry points: zrso_version, zrso_isSupported"), std::string::npos) << error;
  EXPECT_NE(error.find("zrso_reconcileSnaps"), std::string::npos) << error;
}

TEST(PluginLoader, PathComesFromOptionThenEnvironment) {
  setenv("SNAPHOST_PLUGIN", "/from/environment.so", 1);
  EXPECT_EQ(snaphost::PluginPath("/from/option.so"), "/from/option.so");
  EXPECT_EQ(snaphost::PluginPath(""), "/from/environment.so");
  unsetenv("SNAPHOST_PLUGIN");
  // Uninstalled, the plug-in of the same build.
  EXPECT_EQ(snaphost::PluginPath(""), ZRSO_PLUGIN_PATH);
}

}  // namespace
