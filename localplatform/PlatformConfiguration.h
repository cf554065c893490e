#pragma once
// Where the local platform keeps its files and how much it logs. The
// configuration is resolved once, by the host or from the environment, and
// installed for the whole process: the platform services the plug-in calls
// take no configuration of their own.

#include <string>

namespace localplatform {

struct PlatformConfiguration {
  std::string storePath;  // the platform database
  std::string logFile;
  int logLevel = -1;  // -1 errors only, 1 adds events, 4 adds detail

  // From the environment: the store at $ZRSO_PLATFORM_DB, else
  // $XDG_STATE_HOME/zrso/platform.db, else ~/.local/state/zrso/platform.db;
  // the log at $ZRSO_LOG_FILE, else zrso.log beside the store; the level
  // $ZRSO_LOG_LEVEL, else -1.
  static PlatformConfiguration FromEnvironment();
  // The store and the log in `home` (platform.db, zrso.log), the level
  // from the environment as above.
  static PlatformConfiguration InHome(const std::string& home);
};

// The configuration every platform service works with from its next call
// on. Installing one, even the same again, makes the next call connect to
// its store afresh: a host that replaced the store's file installs its
// configuration again.
void InstallConfiguration(const PlatformConfiguration& configuration);

// The installed configuration; when nobody installed one, the one from the
// environment, which is then installed.
PlatformConfiguration InstalledConfiguration();

}  // namespace localplatform
