// snaphost: a snapshot engine host for the NFS object-store plug-in. It loads
// the plug-in, keeps its own snapshot records between runs and drives the
// plug-in's entry points on them.

#include <iostream>

#include "Commands.h"

int main(int argc, char** argv) {
  snaphost::HostContext context;
  snaphost::CommandResult result;

  CLI::App app{"snaphost: snapshot engine host for the NFS object-store plug-in"};
  app.require_subcommand(1);
  app.add_option("--plugin", context.pluginOption,
                 "Plug-in library to load (default: $SNAPHOST_PLUGIN, else ../lib beside snaphost)");
  app.add_option("--home", context.home,
                 "Folder for the platform store, the record catalogue and the log");
  app.add_option("--log-file", context.logFile, "Log file (default: $ZRSO_LOG_FILE)");
  app.add_option("--log-level", context.logLevel,
                 "Log level: -1 errors, 1 events, 4 detail (default: $ZRSO_LOG_LEVEL, else -1)")
      ->each([&context](const std::string&) { context.logLevelGiven = true; });
  app.parse_complete_callback([&context] { context.Prepare(); });

  snaphost::AddVersionCommand(app, context, result);
  snaphost::AddManagementCommands(app, context, result);
  snaphost::AddFileServerCommands(app, context, result);
  snaphost::AddSnapCommand(app, context, result);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error);
  } catch (const std::exception& error) {
    std::cerr << "snaphost: " << error.what() << "\n";
    return snaphost::kExitError;
  }
  return result.exitCode;
}
