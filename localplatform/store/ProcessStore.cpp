#include "store/ProcessStore.h"

#include <pthread.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace localplatform {
namespace {

// Counts the fork() calls that made this process, so that a connection made
// before one is known for the parent's without a system call.
std::atomic<int64_t> g_forks{0};

void CountFork() { ++g_forks; }

// A connection made before fork() belongs to the parent: a child that
// closed it could release what the parent holds, or end the parent's
// session with the database server. It is kept, unused, until the child
// ends.
void LeaveToParent(std::shared_ptr<StoreConnection> connection) {
  static auto* inherited = new std::vector<std::shared_ptr<StoreConnection>>();
  inherited->push_back(std::move(connection));
}

struct ProcessState {
  ProcessState() { pthread_atfork(nullptr, nullptr, CountFork); }

  std::mutex mutex;
  bool configured = false;
  PlatformConfiguration configuration;
  std::shared_ptr<StoreConnection> connection;  // null until needed
  int64_t forks = 0;                            // g_forks when it was made
};

// REQUIRES: state.mutex held.
void DropConnection(ProcessState& state) {
  if (state.connection != nullptr && state.forks != g_forks.load()) {
    LeaveToParent(std::move(state.connection));
  }
  state.connection = nullptr;
}

// Closes the connection when the process ends, so that the database folds
// its log back into the file, or the server ends the session at once.
struct CloseAtExit {
  explicit CloseAtExit(ProcessState& state) : state(state) {}
  ~CloseAtExit() {
    std::lock_guard<std::mutex> lock(state.mutex);
    DropConnection(state);
  }
  ProcessState& state;
};

// The state is never destroyed: other objects that live until the process
// ends, such as a host's, may still install a configuration while it ends.
ProcessState& State() {
  static ProcessState* state = new ProcessState();
  static CloseAtExit closer(*state);
  return *state;
}

// REQUIRES: state.mutex held.
void ConfigureFromEnvironmentOnce(ProcessState& state) {
  if (state.configured) return;
  state.configuration = PlatformConfiguration::FromEnvironment();
  state.configured = true;
}

}  // namespace

void InstallConfiguration(const PlatformConfiguration& configuration) {
  ProcessState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.configuration = configuration;
  state.configured = true;
  DropConnection(state);
}

PlatformConfiguration InstalledConfiguration() {
  ProcessState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  ConfigureFromEnvironmentOnce(state);
  return state.configuration;
}

std::shared_ptr<StoreConnection> CurrentConnection() {
  ProcessState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  const int64_t forks = g_forks.load();
  if (state.connection != nullptr && state.forks == forks) return state.connection;
  ConfigureFromEnvironmentOnce(state);
  auto made = std::make_shared<StoreConnection>(state.configuration);
  DropConnection(state);
  state.connection = std::move(made);
  state.forks = forks;
  return state.connection;
}

std::shared_ptr<Store> OpenStore() {
  std::shared_ptr<StoreConnection> connection = CurrentConnection();
  Store* store = connection->store.get();
  return std::shared_ptr<Store>(std::move(connection), store);
}

}  // namespace localplatform
