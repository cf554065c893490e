// snaphost: a snapshot engine host for the NFS object-store plug-in. It loads
// the plug-in, keeps its own snapshot records between runs and drives the
// plug-in's entry points on them.

#include "Application.h"

int main(int argc, char** argv) {
  return snaphost::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
