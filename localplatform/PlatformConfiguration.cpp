#include "admin/PlatformConfiguration.h"

#include <cstdlib>

#include "admin/Store.h"

namespace localplatform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The variable's value when it is a whole number, else `otherwise`.
long WholeNumber(const char* name, long otherwise) {
  const std::string text = Environment(name);
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' ? value : otherwise;
}

int LogLevelFromEnvironment() { return static_cast<int>(WholeNumber("ZRSO_LOG_LEVEL", -1)); }

// Whole seconds; anything else, or none, leaves the default.
std::chrono::seconds CallDeadlineFromEnvironment() {
  const long seconds = WholeNumber("ZRSO_CALL_DEADLINE", 0);
  return seconds > 0 ? std::chrono::seconds(seconds) : kDefaultCallDeadline;
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string StateFolder() {
  const std::string state = Environment("XDG_STATE_HOME");
  const std::string home = Environment("HOME");
  return !state.empty() ? state + "/zrso" : (home.empty() ? "." : home) + "/.local/state/zrso";
}

}  // namespace

PlatformConfiguration PlatformConfiguration::FromEnvironment() {
  const std::string location = Environment("ZRSO_PLATFORM_DB");
  return ForStore(!location.empty() ? location : StateFolder() + "/platform.db");
}

PlatformConfiguration PlatformConfiguration::ForStore(const std::string& location) {
  PlatformConfiguration configuration;
  configuration.storeLocation = location;
  configuration.localFolder = IsPostgresLocation(location) ? StateFolder() : Folder(location);
  configuration.logFile = Environment("ZRSO_LOG_FILE");
  if (configuration.logFile.empty())
    configuration.logFile = configuration.localFolder + "/zrso.log";
  configuration.logLevel = LogLevelFromEnvironment();
  configuration.callDeadline = CallDeadlineFromEnvironment();
  return configuration;
}

PlatformConfiguration PlatformConfiguration::InHome(const std::string& home) {
  PlatformConfiguration configuration;
  configuration.storeLocation = home + "/platform.db";
  configuration.localFolder = home;
  configuration.logFile = home + "/zrso.log";
  configuration.logLevel = LogLevelFromEnvironment();
  configuration.callDeadline = CallDeadlineFromEnvironment();
  return configuration;
}

}  // namespace localplatform
