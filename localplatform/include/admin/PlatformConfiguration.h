#pragma once
// Where the local platform keeps its state and how much it logs. The
// configuration is resolved once, by the host or from the environment, and
// installed for the whole process: the platform services the plug-in calls
// take no configuration of their own.
//
// The platform store may be shared: a PostgreSQL database serves the hosts
// of several machines. What belongs to one machine, the log and a host's
// record catalogue, stays in a local folder: beside a SQLite store, or the
// machine's state folder when the store is on PostgreSQL.

#include <chrono>
#include <string>

#include "admin/AdminApi.h"
#include "admin/CallDeadline.h"

namespace localplatform {

struct ZRPLATFORM_ADMIN PlatformConfiguration {
  // The platform store: a SQLite file's path, or a PostgreSQL connection
  // URI or keyword string (IsPostgresLocation, admin/Store.h).
  std::string storeLocation;
  // This machine's own files.
  std::string localFolder;
  std::string logFile;
  int logLevel = -1;  // -1 errors only, 1 adds events, 4 adds detail
  // How long a call may wait for a PostgreSQL store: every connect and
  // every statement (admin/CallDeadline.h); above 30 s it counts as 30 s.
  std::chrono::seconds callDeadline = kDefaultCallDeadline;

  // From the environment: ForStore($ZRSO_PLATFORM_DB), or with that unset
  // the store in the state folder ($XDG_STATE_HOME/zrso, else
  // ~/.local/state/zrso) as platform.db.
  static PlatformConfiguration FromEnvironment();
  // The store at `location`; the local folder beside a SQLite store, else
  // the state folder; the log at $ZRSO_LOG_FILE, else zrso.log in the local
  // folder; the level $ZRSO_LOG_LEVEL, else -1; the call deadline
  // $ZRSO_CALL_DEADLINE (whole seconds), else 10 s.
  static PlatformConfiguration ForStore(const std::string& location);
  // The local folder `home`, with the log (zrso.log) and the store
  // (platform.db) in it, the level and deadline from the environment as
  // above.
  static PlatformConfiguration InHome(const std::string& home);
};

// The configuration every platform service works with from its next call
// on. Installing one, even the same again, makes the next call connect to
// its store afresh: a host that replaced the store's file installs its
// configuration again.
ZRPLATFORM_ADMIN void InstallConfiguration(const PlatformConfiguration& configuration);

// The installed configuration; when nobody installed one, the one from the
// environment, which is then installed.
ZRPLATFORM_ADMIN PlatformConfiguration InstalledConfiguration();

}  // namespace localplatform
