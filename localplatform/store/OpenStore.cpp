#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "store/SqliteStore.h"
#include "store/Store.h"

namespace localplatform {
namespace {

std::atomic<int64_t> g_connectionsOpened{0};

// The file a path names, told apart from a file that replaced it.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
};

bool IdentifyFile(const std::string& path, FileIdentity& identity) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return false;
  identity = {status.st_dev, status.st_ino};
  return true;
}

// A connection made before fork() belongs to the parent: a child that
// closed it could release what the parent holds. It is kept, unused, until
// the child ends.
void LeaveToParent(std::shared_ptr<storage::SqliteDatabase> connection) {
  static auto* inherited = new std::vector<std::shared_ptr<storage::SqliteDatabase>>();
  inherited->push_back(std::move(connection));
}

// The process's connection and what it was made for.
struct SharedConnection {
  ~SharedConnection() {
    if (database != nullptr && pid != getpid()) LeaveToParent(std::move(database));
  }

  std::shared_ptr<storage::SqliteDatabase> database;
  std::string path;
  FileIdentity file;
  pid_t pid = 0;
};

}  // namespace

std::string StorePath() {
  const char* path = std::getenv("ZRSO_PLATFORM_DB");
  if (path != nullptr && *path != '\0') return path;
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && *state != '\0') return std::string(state) + "/zrso/platform.db";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.local/state/zrso/platform.db";
}

// Opening the database, reading its schema and setting it up costs more than
// most of the calls that need it, so the connection is made once and kept.
std::unique_ptr<Store> OpenStore() {
  static std::mutex mutex;
  static SharedConnection shared;

  const std::string path = StorePath();
  std::lock_guard<std::mutex> lock(mutex);
  FileIdentity file;
  bool reusable = shared.database != nullptr && shared.pid == getpid() && shared.path == path &&
                  IdentifyFile(path, file) && file == shared.file;
  if (!reusable) {
    std::shared_ptr<storage::SqliteDatabase> database = SqliteStore::Connect(path);
    ++g_connectionsOpened;
    if (shared.database != nullptr && shared.pid != getpid()) {
      LeaveToParent(std::move(shared.database));
    }
    if (!IdentifyFile(path, file)) file = FileIdentity();
    shared.database = std::move(database);
    shared.path = path;
    shared.file = file;
    shared.pid = getpid();
  }
  return std::make_unique<SqliteStore>(shared.database);
}

int64_t StoreConnectionsOpened() { return g_connectionsOpened.load(); }

}  // namespace localplatform
