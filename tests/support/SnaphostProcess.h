#pragma once
// Runs the built snaphost as its own process, the way a person would, with
// its home in a test's folder.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
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
// standard output on `outFd` and its standard error in HOME/err.txt; a
// `limit` other than zero has it killed by SIGALRM once it has run so long.
// Returns the child's process id.
inline pid_t StartSnaphost(const std::string& home, const std::vector<std::string>& args,
                           int outFd, std::chrono::seconds limit = {}) {
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
    alarm(static_cast<unsigned>(limit.count()));
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
  pid_t child = StartSnaphost(home, args, pipeFds[1], limit);
  close(pipeFds[1]);
  SnaphostRun run;
  char buffer[4096];
  for (ssize_t size; (size = read(pipeFds[0], buffer, sizeof(buffer))) > 0;) {
    run.out.append(buffer, static_cast<size_t>(size));
  }
  close(pipeFds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM;
  run.err.assign(std::istreambuf_iterator<char>(std::ifstream(home + "/err.txt").rdbuf()), {});
  return run;
}

// Runs snaphost on `platform`: its folder for home, its store.
inline SnaphostRun RunSnaphostOn(const TempPlatform& platform, const std::vector<std::string>& args) {
  std::vector<std::string> all = platform.SnaphostOptions();
  all.insert(all.end(), args.begin(), args.end());
  return RunSnaphost(platform.folder(), all);
}

}  // namespace testsupport
