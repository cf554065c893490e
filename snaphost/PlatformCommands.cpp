// snaphost platform: the platform store as a whole. `platform copy` moves a
// platform that one machine kept into a store that the hosts of several
// machines share.

#include <iostream>
#include <memory>
#include <string>

#include "Commands.h"
#include "admin/PlatformConfiguration.h"
#include "admin/PlatformCopy.h"

namespace snaphost {

void AddPlatformCommands(CLI::App& app, HostContext&, CommandResult& result) {
  CLI::App* platform = app.add_subcommand("platform", "The platform store as a whole");
  platform->require_subcommand(1);

  auto target = std::make_shared<std::string>();
  auto replace = std::make_shared<bool>(false);
  CLI::App* copy = platform->add_subcommand(
      "copy",
      "Copy the whole platform (clients, shares, view lists with their versions, file-server "
      "machines, exports, the information store, faults) into another store, such as a "
      "PostgreSQL database");
  copy->add_option("--to", *target,
                   "The store to copy into: a PostgreSQL connection URI or keyword string, or a "
                   "SQLite file")
      ->required();
  copy->add_flag("--replace", *replace, "Replace whatever the target holds");
  copy->callback([target, replace, &result] {
    std::shared_ptr<localplatform::Store> from = localplatform::OpenStore();
    std::unique_ptr<localplatform::Store> to =
        localplatform::ConnectStore(*target, localplatform::InstalledConfiguration().callDeadline);
    localplatform::PlatformContents copied;
    if (!localplatform::CopyPlatform(*from, *to, *replace, copied)) {
      throw HostError(to->Where() +
                      " already holds a platform: nothing copied (--replace replaces it)");
    }
    std::cout << "copied " << from->Where() << " to " << to->Where() << ": "
              << localplatform::ContentCounts(copied) << "\n";
    result.exitCode = 0;
  });
}

}  // namespace snaphost
