#include <cstdint>
#include <iostream>

#include "Commands.h"

namespace snaphost {

void AddVersionCommand(CLI::App& app, HostContext& context, CommandResult& result) {
  CLI::App* command = app.add_subcommand(
      "version", "Load the plug-in and print its version and the file it was loaded from");
  command->callback([&context, &result] {
    Plugin& plugin = context.plugin();
    uint16_t major = 0, minor = 0, patch = 0;
    plugin.version(&major, &minor, &patch);
    std::cout << major << "." << minor << "." << patch << "\n"
              << "plug-in file: " << plugin.LoadedFile() << "\n";
    result.exitCode = 0;
  });
}

}  // namespace snaphost
