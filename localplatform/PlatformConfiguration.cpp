#include "PlatformConfiguration.h"

#include <cstdlib>

namespace localplatform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A level that is not a whole number is ignored.
int LogLevelFromEnvironment() {
  const std::string text = Environment("ZRSO_LOG_LEVEL");
  char* end = nullptr;
  long level = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' ? static_cast<int>(level) : -1;
}

std::string Folder(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

PlatformConfiguration PlatformConfiguration::FromEnvironment() {
  PlatformConfiguration configuration;
  configuration.storePath = Environment("ZRSO_PLATFORM_DB");
  if (configuration.storePath.empty()) {
    const std::string state = Environment("XDG_STATE_HOME");
    const std::string home = Environment("HOME");
    configuration.storePath = !state.empty()
                                  ? state + "/zrso/platform.db"
                                  : (home.empty() ? "." : home) + "/.local/state/zrso/platform.db";
  }
  configuration.logFile = Environment("ZRSO_LOG_FILE");
  if (configuration.logFile.empty())
    configuration.logFile = Folder(configuration.storePath) + "/zrso.log";
  configuration.logLevel = LogLevelFromEnvironment();
  return configuration;
}

PlatformConfiguration PlatformConfiguration::InHome(const std::string& home) {
  PlatformConfiguration configuration;
  configuration.storePath = home + "/platform.db";
  configuration.logFile = home + "/zrso.log";
  configuration.logLevel = LogLevelFromEnvironment();
  return configuration;
}

}  // namespace localplatform
