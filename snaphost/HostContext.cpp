#include "HostContext.h"

#include "admin/FileLogWriter.h"
#include "admin/PlatformConfiguration.h"

namespace snaphost {

void HostContext::Prepare() {
  using localplatform::PlatformConfiguration;
  PlatformConfiguration configuration = !home.empty() ? PlatformConfiguration::InHome(home)
                                        : !platform.empty()
                                            ? PlatformConfiguration::ForStore(platform)
                                            : PlatformConfiguration::FromEnvironment();
  if (!platform.empty()) configuration.storeLocation = platform;
  if (!logFile.empty()) configuration.logFile = logFile;
  if (logLevelGiven) configuration.logLevel = logLevel;
  localplatform::InstallConfiguration(configuration);
  localplatform::InstallFileLogWriter(configuration.logFile, configuration.logLevel);
  cataloguePath_ = home.empty() ? CataloguePath(configuration.localFolder) : home + "/records.db";
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
    try {
      catalogue_ = std::make_unique<RecordCatalogue>(cataloguePath_);
    } catch (const std::runtime_error& error) {
      throw HostError("cannot open the record catalogue: " + std::string(error.what()));
    }
  }
  return *catalogue_;
}

RecordCatalogue& HostContext::LockedCatalogue(CatalogueLock::Use use, bool wait) {
  RecordCatalogue& opened = catalogue();  // makes the folder the lock file goes in
  if (!lock_) lock_ = std::make_unique<CatalogueLock>(cataloguePath_, use, wait);
  return opened;
}

}  // namespace snaphost
