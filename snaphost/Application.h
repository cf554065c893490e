#pragma once
// The snaphost command line: global options and every command group.

#include <CLI/CLI.hpp>

#include "Commands.h"

namespace snaphost {

// Sets up `app` with the global options and all commands. Callbacks act on
// `context` and leave their exit code in `result`; both must outlive `app`.
void BuildApplication(CLI::App& app, HostContext& context, CommandResult& result);

// Parses and runs one command line (without the program name) on a fresh
// application. Returns the exit code: the command's, 0 for --help and
// --version, or kExitError for a usage error or a failure, with the message
// on stderr.
int RunCommandLine(const std::vector<std::string>& args);

}  // namespace snaphost
