// Platform administration: the management database's clients and NFS
// shares, and the copy ids that jobs find in the information store.

#include <cstdint>
#include <iostream>
#include <limits>
#include <memory>

#include "AdminOutput.h"
#include "Commands.h"
#include "CopyIdKey.h"
#include "StorableName.h"
#include "WholeNumber.h"
#include "admin/Store.h"

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
  add->add_option("NAME", added->name, "Client name")
      ->required()
      ->check(StorableName("client name"));
  add->add_option("HOST", added->hostName, "Network host name")
      ->required()
      ->check(StorableName("host name"));
  add->callback([added, &result] {
    std::optional<std::string> before;
    WithStore([&](localplatform::Store& store) {
      std::string hostName;
      if (store.FindClientHost(added->name, hostName)) before = hostName;
      store.PutClient(*added);
    });
    ReportChange("client " + added->name, before, added->hostName);
    result.exitCode = 0;
  });

  AddListCommand(client, "list", "List the clients", result,
                 {{"CLIENT", "name"}, {"HOST", "hostName"}}, [](Listing& listing) {
                   WithStore([&](localplatform::Store& store) {
                     for (const auto& row : store.ListClients())
                       listing.Add({row.name, row.hostName});
                   });
                 });
}

void AddShareCommands(CLI::App& app, CommandResult& result) {
  CLI::App* share = app.add_subcommand("share", "Configured NFS shares");
  share->require_subcommand(1);

  auto added = std::make_shared<localplatform::ShareRow>();
  CLI::App* add = share->add_subcommand(
      "add", "Add an NFS share (a share may be added again, for another server)");
  add->add_option("SHARE", added->share, "Share, as the management database names it")
      ->required()
      ->check(StorableName("share name"));
  add->add_option("SERVER_CLIENT", added->serverClientName,
                  "Client name of the NFS server that exports it")
      ->required()
      ->check(StorableName("server client name"));
  add->add_option("SUBCLIENT_ID", added->subclientId, "Share subclient identifier")
      ->required()
      ->transform(SubclientIdNumber());
  add->callback([added, &result] {
    std::optional<localplatform::ShareRow> configured;
    bool clientKnown = false;
    WithStore([&](localplatform::Store& store) {
      for (const localplatform::ShareRow& row : store.ListShares()) {
        if (row.share == added->share && row.serverClientName == added->serverClientName) {
          configured = row;
        }
      }
      std::string hostName;
      clientKnown = store.FindClientHost(added->serverClientName, hostName);
      if (!configured) store.AddShare(*added);
    });
    const std::string subject = "share " + added->share + " on " + added->serverClientName;
    if (configured) {
      const std::string already = subject + " is already configured, with subclient " +
                                  std::to_string(configured->subclientId) + "; nothing changed";
      if (configured->subclientId != added->subclientId) throw HostError(already);
      std::cout << already << "\n";
    } else {
      if (!clientKnown) {
        std::cerr << "snaphost: note: client " << added->serverClientName
                  << " is not configured, so its host name cannot be resolved\n";
      }
      ReportChange(subject, std::nullopt, "subclient " + std::to_string(added->subclientId));
    }
    result.exitCode = 0;
  });

  AddListCommand(
      share, "list", "List the NFS shares in lookup order", result,
      {{"SHARE", "share"}, {"SERVER CLIENT", "serverClient"}, {"SUBCLIENT", "subclientId", true}},
      [](Listing& listing) {
        WithStore([&](localplatform::Store& store) {
          for (const auto& row : store.ListShares()) {
            listing.Add({row.share, row.serverClientName, std::to_string(row.subclientId)});
          }
        });
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
  set->add_option("JOB_ID", entry->jobId, "Job id")->required()->transform(WholeNumber<int32_t>());
  set->add_option("COPY_ID", entry->copyId, "Copy id (its low 32 bits are used)")
      ->required()
      ->transform(WholeNumber<uint64_t>());
  set->callback([entry, &result] {
    const std::string key = formats::CopyIdKey(entry->jobId);
    std::optional<std::string> before;
    WithStore([&](localplatform::Store& store) {
      uint64_t stored = 0;
      if (store.GetNumber(formats::kCopyIdSection, key, stored)) before = std::to_string(stored);
      store.SetNumber(formats::kCopyIdSection, key, entry->copyId);
    });
    ReportChange("copy id of job " + std::to_string(entry->jobId), before,
                 std::to_string(entry->copyId));
    result.exitCode = 0;
  });

  AddListCommand(copyId, "list", "List the copy ids that wait for their job", result,
                 {{"JOB", "jobId", true}, {"COPY ID", "copyId", true}}, [](Listing& listing) {
                   const std::string prefix = formats::kCopyIdKeyPrefix;
                   WithStore([&](localplatform::Store& store) {
                     for (const auto& [key, value] : store.ListNumbers(formats::kCopyIdSection)) {
                       if (key.compare(0, prefix.size(), prefix) == 0) {
                         listing.Add({key.substr(prefix.size()), std::to_string(value)});
                       }
                     }
                   });
                 });
}

}  // namespace

void AddManagementCommands(CLI::App& app, HostContext&, CommandResult& result) {
  AddClientCommands(app, result);
  AddShareCommands(app, result);
  AddCopyIdCommands(app, result);
}

}  // namespace snaphost
