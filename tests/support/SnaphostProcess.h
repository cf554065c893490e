#pragma once
// Runs the built snaphost as its own process, the way a person would, with
// its home in a test's folder.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempPlatform.h"

namespace testsupport {

struct SnaphostRun {
  int exitCode = -1;
  bool killed = false;  // at the time limit
  std::string out;  // standard output
  std::string err;  // standard error, by way of HOME/err.txt
};

// Starts snaphost --plugin <built plug-in> --home `home` `args`... with its
// standard output on `outFd` and its standard error in HOME/err.txt.
// Returns the child's process id.
inline pid_t StartSnaphost(const std::string& home, const std::vector<std::string>& args,
                           int outFd) {
  std::vector<std::string> all = {ZRSO_SNAPHOST_PATH, "--plugin", ZRSO_PLUGIN_PATH, "--home", home};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string errPath = home + "/err.txt";
  pid_t child = fork();
  if (child == 0) {
    dup2(outFd, STDOUT_FILENO);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(err, STDERR_FILENO);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// Runs snaphost as above and waits for it, at most `limit`: then it is killed.
inline SnaphostRun RunSnaphost(const std::string& home, const std::vector<std::string>& args,
                               std::chrono::seconds limit = std::chrono::minutes(10)) {
  int pipeFds[2];
  // Neither end is left to a snaphost started at the same time by another thread.
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
  pid_t child = StartSnaphost(home, args, pipeFds[1]);
  close(pipeFds[1]);
  SnaphostRun run;
  const auto end = std::chrono::steady_clock::now() + limit;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    const int wait = static_cast<int>(std::max<int64_t>(left.count(), 0));
    pollfd output = {pipeFds[0], POLLIN, 0};
    if (!run.killed && poll(&output, 1, wait) == 0) {
      kill(child, SIGKILL);
      run.killed = true;
    }
    const ssize_t size = read(pipeFds[0], buffer, sizeof(buffer));
    if (size <= 0) break;
    run.out.append(buffer, static_cast<size_t>(size));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ostringstream err;
  err << std::ifstream(home + "/err.txt").rdbuf();
  run.err = err.str();
  return run;
}

// Runs snaphost on `platform`: its folder for home, its store.
inline SnaphostRun RunSnaphostOn(const TempPlatform& platform, const std::vector<std::string>& args) {
  std::vector<std::string> all = platform.SnaphostOptions();
  all.insert(all.end(), args.begin(), args.end());
  return RunSnaphost(platform.folder(), all);
}

}  // namespace testsupport
