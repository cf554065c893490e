#include <cstdlib>

#include "store/SqliteStore.h"
#include "store/Store.h"

namespace localplatform {

std::string StorePath() {
  const char* path = std::getenv("ZRSO_PLATFORM_DB");
  if (path != nullptr && *path != '\0') return path;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && *state != '\0') return std::string(state) + "/zrso/platform.db";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.local/state/zrso/platform.db";
}

std::unique_ptr<Store> OpenStore() { return std::make_unique<SqliteStore>(StorePath()); }

}  // namespace localplatform
