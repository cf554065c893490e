#pragma once
// What every snaphost command shares: the global options, the plug-in and
// the record catalogue, each opened on first use.

#include <memory>
#include <stdexcept>
#include <string>

#include "CatalogueLock.h"
#include "PluginLoader.h"
#include "RecordCatalogue.h"

namespace snaphost {

// A failure the user can act on; main prints its text and exits with kExitError.
struct HostError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Exit codes besides the batch results 0, 1 and 2.
constexpr int kExitError = 3;

class HostContext {
 public:
  std::string pluginOption;
  std::string home;
  std::string platform;
  std::string logFile;
  int logLevel = 0;
  bool logLevelGiven = false;

  // Resolves where the platform store, the catalogue and the log are (in
  // --home when given, the store at --platform when given, else from the
  // environment), installs that configuration for the platform and puts the
  // log writer in place. Runs once, before any command; creates nothing.
  void Prepare();

  Plugin& plugin();
  RecordCatalogue& catalogue();
  // The catalogue, with its lock taken for `use` (CatalogueLock.h) and held
  // until the command ends.
  RecordCatalogue& LockedCatalogue(CatalogueLock::Use use, bool wait = true);

 private:
  std::string cataloguePath_;
  std::unique_ptr<Plugin> plugin_;
  // Released after the catalogue is closed.
  std::unique_ptr<CatalogueLock> lock_;
  std::unique_ptr<RecordCatalogue> catalogue_;
};

}  // namespace snaphost
