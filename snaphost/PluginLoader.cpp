#include "PluginLoader.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace snaphost {
namespace {

template <typename Function>
void Resolve(void* handle, const char* name, Function& slot, std::vector<std::string>& missing) {
  slot = reinterpret_cast<Function>(dlsym(handle, name));
  if (slot == nullptr) missing.emplace_back(name);
}

std::string ProgramFolder() {
  char buffer[PATH_MAX];
  ssize_t size = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (size <= 0) return ".";
  std::string path(buffer, static_cast<size_t>(size));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

Plugin::Plugin(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    throw std::runtime_error("cannot load plug-in " + path + ": " +
                             (why != nullptr ? why : "unknown error"));
  }
  std::vector<std::string> missing;
  Resolve(handle_, "zrso_version", version, missing);
  Resolve(handle_, "zrso_isSupported", isSupported, missing);
  Resolve(handle_, "zrso_prepareDevices", prepareDevices, missing);
  Resolve(handle_, "zrso_unprepareDevices", unprepareDevices, missing);
  Resolve(handle_, "zrso_snapDevices", snapDevices, missing);
  Resolve(handle_, "zrso_isMapped", isMapped, missing);
  Resolve(handle_, "zrso_mapSnaps", mapSnaps, missing);
  Resolve(handle_, "zrso_unmapSnaps", unmapSnaps, missing);
  Resolve(handle_, "zrso_deleteSnaps", deleteSnaps, missing);
  Resolve(handle_, "zrso_revertSnaps", revertSnaps, missing);
  Resolve(handle_, "zrso_reconcileSnaps", reconcileSnaps, missing);
  if (!missing.empty()) {
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    dlclose(handle_);
    throw std::runtime_error("plug-in " + path + " lacks entry points: " + names);
  }
}

Plugin::~Plugin() { dlclose(handle_); }

std::string Plugin::LoadedFile() const {
  link_map* loaded = nullptr;
  const std::string name =
      dlinfo(handle_, RTLD_DI_LINKMAP, &loaded) == 0 && loaded != nullptr ? loaded->l_name : path_;
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::canonical(name, error);
  return error ? name : resolved.string();
}

std::string PluginPath(const std::string& option) {
  if (!option.empty()) return option;
  const char* fromEnvironment = std::getenv("SNAPHOST_PLUGIN");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;
  // Installed, the plug-in lies at a fixed place relative to the program;
  // an uninstalled program takes the plug-in of its own build tree.
  const std::string installed = ProgramFolder() + "/" SNAPHOST_INSTALLED_PLUGIN;
  return access(installed.c_str(), F_OK) == 0 ? installed : SNAPHOST_BUILT_PLUGIN;
}

}  // namespace snaphost
