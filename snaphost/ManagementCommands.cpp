// Platform administration: the management database's clients and NFS
// shares, and the copy ids that jobs find in the information store.

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>

#include "Commands.h"
#include "CopyIdKey.h"
#include "ZrLib.h"
#include "store/Store.h"

namespace snaphost {
namespace {

// Runs `work` on the platform store; a store failure is the user's to fix.
template <typename Work>
void WithStore(Work work) {
  try {
    work(*localplatform::OpenStore());
  } catch (const localplatform::StoreError& error) {
    throw HostError("platform store: " + std::string(error.what()));
  }
}

void AddClientCommands(CLI::App& app, CommandResult& result) {
  CLI::App* client = app.add_subcommand("client", "Platform clients and their network host names");
  client->require_subcommand(1);

  // Option values live as long as the callback that reads them.
  auto added = std::make_shared<localplatform::ClientRow>();
  CLI::App* add = client->add_subcommand("add", "Add a client, or change its host name");
  add->add_option("NAME", added->name, "Client name")->required();
  add->add_option("HOST", added->hostName, "Network host name")->required();
  add->callback([added, &result] {
    WithStore([&](localplatform::Store& store) { store.PutClient(*added); });
    std::cout << "client " << added->name << " -> " << added->hostName << "\n";
    result.exitCode = 0;
  });

  CLI::App* list = client->add_subcommand("list", "List the clients");
  list->callback([&result] {
    std::vector<localplatform::ClientRow> clients;
    WithStore([&](localplatform::Store& store) { clients = store.ListClients(); });
    std::printf("%-24s %s\n", "CLIENT", "HOST");
    for (const auto& row : clients)
      std::printf("%-24s %s\n", row.name.c_str(), row.hostName.c_str());
    result.exitCode = 0;
  });
}

void AddShareCommands(CLI::App& app, CommandResult& result) {
  CLI::App* share = app.add_subcommand("share", "Configured NFS shares");
  share->require_subcommand(1);

  auto added = std::make_shared<localplatform::ShareRow>();
  CLI::App* add = share->add_subcommand(
      "add", "Add an NFS share (a share may be added again, for another server)");
  add->add_option("SHARE", added->share, "Share, as the management database names it")->required();
  add->add_option("SERVER_CLIENT", added->serverClientName,
                  "Client name of the NFS server that exports it")
      ->required();
  add->add_option("SUBCLIENT_ID", added->subclientId, "Share subclient identifier (64-bit)")
      ->required();
  add->callback([added, &result] {
    bool known = false;
    WithStore([&](localplatform::Store& store) {
      std::string hostName;
      known = store.FindClientHost(added->serverClientName, hostName);
      store.AddShare(*added);
    });
    if (!known) {
      std::cerr << "snaphost: note: client " << added->serverClientName
                << " is not configured, so its host name cannot be resolved\n";
    }
    std::cout << "share " << added->share << " on " << added->serverClientName << ", subclient "
              << added->subclientId << "\n";
    result.exitCode = 0;
  });

  CLI::App* list = share->add_subcommand("list", "List the NFS shares in lookup order");
  list->callback([&result] {
    std::vector<localplatform::ShareRow> shares;
    WithStore([&](localplatform::Store& store) { shares = store.ListShares(); });
    std::printf("%-24s %-24s %s\n", "SHARE", "SERVER CLIENT", "SUBCLIENT");
    for (const auto& row : shares) {
      std::printf("%-24s %-24s %lld\n", row.share.c_str(), row.serverClientName.c_str(),
                  static_cast<long long>(row.subclientId));
    }
    result.exitCode = 0;
  });
}

void AddCopyIdCommands(CLI::App& app, CommandResult& result) {
  CLI::App* copyId = app.add_subcommand("copy-id", "Copy ids that a job's snapshots take up");
  copyId->require_subcommand(1);

  struct Entry {
    int32_t jobId = 0;
    uint64_t copyId = 0;
  };
  auto entry = std::make_shared<Entry>();
  CLI::App* set = copyId->add_subcommand(
      "set", "Set the copy id for a job; the job's first snapshot operation consumes it");
  set->add_option("JOB_ID", entry->jobId, "Job id")->required();
  set->add_option("COPY_ID", entry->copyId, "Copy id (its low 32 bits are used)")->required();
  set->callback([entry, &result] {
    const std::string key = formats::CopyIdKey(entry->jobId);
    if (ZRPlatformInfo().setNumber(formats::kCopyIdSection, key, entry->copyId) != 0) {
      throw HostError("cannot store the copy id (see the log)");
    }
    std::cout << formats::kCopyIdSection << " " << key << " = " << entry->copyId << "\n";
    result.exitCode = 0;
  });
}

}  // namespace

void AddManagementCommands(CLI::App& app, HostContext&, CommandResult& result) {
  AddClientCommands(app, result);
  AddShareCommands(app, result);
  AddCopyIdCommands(app, result);
}

}  // namespace snaphost
