#pragma once
// Runs the built snaphost as its own process, the way a person would, with
// its home in a test's folder.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempPlatform.h"

namespace testsupport {

struct SnaphostRun {
  int exitCode = -1;
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

// Runs snaphost as above and waits for it.
inline SnaphostRun RunSnaphost(const std::string& home, const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
  pid_t child = StartSnaphost(home, args, pipeFds[1]);
  close(pipeFds[1]);
  SnaphostRun run;
  char buffer[4096];
  ssize_t size;
  while ((size = read(pipeFds[0], buffer, sizeof(buffer))) > 0) run.out.append(buffer, size);
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
