#include "Application.h"

#include <algorithm>
#include <iostream>

#include "WholeNumber.h"

namespace snaphost {
namespace {

const char kExitCodes[] =
    "Exit codes: 0 success (of a batch: every record); 1 a batch in which no record\n"
    "succeeded (a cause of the platform's own named on standard error), a doctor that\n"
    "found a disagreement, or a demo that went otherwise than expected; 2 a batch in\n"
    "which some did; 3 a usage error, or a failure that snaphost names on standard\n"
    "error.";

// What CLI11 says about a command line it cannot take, with one line of advice.
std::string UsageError(const CLI::App*, const CLI::Error& error) {
  return "snaphost: " + std::string(error.what()) + "\nRun with --help for more information.\n";
}

// Whether the innermost command chosen is a group left without its subcommand.
bool GroupLacksCommand(const CLI::App& app) {
  const CLI::App* group = &app;
  while (!group->get_subcommands().empty()) group = group->get_subcommands().front();
  return group->get_require_subcommand_min() > 0;
}

// A word that nothing took is named, and what it was taken for: an option,
// a command where a group lacks its subcommand, or else an extra argument.
// CLI11's own text stands for every other error.
CLI::Error NamedUnknownWord(const CLI::App& app, const CLI::ParseError& error) {
  const std::vector<std::string> unknown = app.remaining(true);
  const bool lacksCommand = GroupLacksCommand(app);
  if (unknown.empty() ||
      (!lacksCommand && dynamic_cast<const CLI::ExtrasError*>(&error) == nullptr)) {
    return error;
  }
  const std::string& word = unknown.front();
  const char* kind = word.rfind('-', 0) == 0 ? "unknown option ["
                     : lacksCommand          ? "unknown command ["
                                             : "unexpected argument [";
  return CLI::ExtrasError(kind + word + "]", CLI::ExitCodes::ExtrasError);
}

}  // namespace

void BuildApplication(CLI::App& app, HostContext& context, CommandResult& result) {
  app.name("snaphost");
  app.description("snaphost: snapshot engine host for the NFS object-store plug-in");
  app.set_version_flag("--version", "snaphost " SNAPHOST_VERSION);
  app.footer(kExitCodes);
  app.require_subcommand(1);
  app.add_option("--plugin", context.pluginOption,
                 "Plug-in library to load (default: $SNAPHOST_PLUGIN, else the one installed or "
                 "built with snaphost)");
  app.add_option("--home", context.home,
                 "Folder for the platform store, the record catalogue and the log");
  app.add_option("--platform", context.platform,
                 "Platform store: a SQLite file, or a PostgreSQL connection URI (postgresql://...) "
                 "or keyword string (host=... dbname=...), which the hosts of several machines "
                 "share (default: $ZRSO_PLATFORM_DB, else platform.db in --home or the state "
                 "folder)");
  app.add_option("--log-file", context.logFile, "Log file (default: $ZRSO_LOG_FILE)");
  app.add_option("--log-level", context.logLevel,
                 "Log level: -1 errors, 1 events, 4 detail (default: $ZRSO_LOG_LEVEL, else -1)")
      ->transform(WholeNumber<int>())
      ->each([&context](const std::string&) { context.logLevelGiven = true; });
  app.failure_message(UsageError);
  app.parse_complete_callback([&context] { context.Prepare(); });

  AddVersionCommand(app, context, result);
  AddManagementCommands(app, context, result);
  AddFileServerCommands(app, context, result);
  AddSnapCommand(app, context, result);
  AddMapCommands(app, context, result);
  AddRecordCommands(app, context, result);
  AddDoctorCommand(app, context, result);
  AddDemoCommand(app, context, result);
  AddFaultCommands(app, context, result);
  AddPlatformCommands(app, context, result);
}

int RunCommandLine(const std::vector<std::string>& args) {
  HostContext context;
  CommandResult result;
  CLI::App app;
  BuildApplication(app, context, result);
  try {
    // CLI11 takes a vector of arguments last one first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    // --help and --version end the parse this way too, and succeed.
    if (error.get_exit_code() == 0) return app.exit(error);
    app.exit(NamedUnknownWord(app, error));
    return kExitError;
  } catch (const std::exception& error) {
    std::cerr << "snaphost: " << error.what() << "\n";
    return kExitError;
  }
  return result.exitCode;
}

}  // namespace snaphost
