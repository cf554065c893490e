#pragma once
// Loads the plug-in with dlopen and resolves its eleven entry points by their
// plain names.

#include <string>

#include "EntryPoints.h"

namespace snaphost {

using BatchEntry = ZRSO::BatchEntryPoint*;

class Plugin {
 public:
  // Loads the library at `path`. Throws std::runtime_error naming the library
  // and, when it loads, every entry point it lacks.
  explicit Plugin(const std::string& path);
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;
  ~Plugin();

  const std::string& path() const { return path_; }
  // The file the loader took the library from, as an absolute path with
  // its links resolved.
  std::string LoadedFile() const;

  ZRSO::VersionEntryPoint* version = nullptr;
  ZRSO::SupportEntryPoint* isSupported = nullptr;
  BatchEntry prepareDevices = nullptr;
  BatchEntry unprepareDevices = nullptr;
  BatchEntry snapDevices = nullptr;
  BatchEntry isMapped = nullptr;
  BatchEntry mapSnaps = nullptr;
  BatchEntry unmapSnaps = nullptr;
  BatchEntry deleteSnaps = nullptr;
  BatchEntry revertSnaps = nullptr;
  BatchEntry reconcileSnaps = nullptr;

 private:
  std::string path_;
  void* handle_ = nullptr;
};

// The plug-in to load: `option` when given, else $SNAPHOST_PLUGIN, else the
// one installed with this program, else the one built with it.
std::string PluginPath(const std::string& option);

}  // namespace snaphost
