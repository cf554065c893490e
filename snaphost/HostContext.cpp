#include "HostContext.h"

#include <cstdlib>

#include "FileLogWriter.h"

namespace snaphost {

void HostContext::Prepare() {
  if (!home.empty()) {
    setenv("ZRSO_PLATFORM_DB", (home + "/platform.db").c_str(), 1);
    setenv("SNAPHOST_CATALOGUE", (home + "/records.db").c_str(), 1);
    if (logFile.empty()) logFile = home + "/zrso.log";
  }
  localplatform::InstallFileLogWriter(
      logFile.empty() ? localplatform::LogFileFromEnvironment() : logFile,
      logLevelGiven ? logLevel : localplatform::LogLevelFromEnvironment());
}

Plugin& HostContext::plugin() {
  if (!plugin_) {
    try {
      plugin_ = std::make_unique<Plugin>(PluginPath(pluginOption));
    } catch (const std::runtime_error& error) {
      throw HostError(error.what());
    }
  }
  return *plugin_;
}

RecordCatalogue& HostContext::catalogue() {
  if (!catalogue_) {
    std::string path = CataloguePath();
    try {
      catalogue_ = std::make_unique<RecordCatalogue>(path);
    } catch (const std::runtime_error& error) {
      throw HostError("cannot open the record catalogue: " + std::string(error.what()));
    }
  }
  return *catalogue_;
}

}  // namespace snaphost
