// Platform administration of the NFS file-server service and the view
// lists: register server machines and mark them down or up, show one
// subclient's view list, list every export.

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "AdminOutput.h"
#include "Commands.h"
#include "StorableName.h"
#include "ViewListFormat.h"
#include "ViewRecordFormat.h"
#include "WholeNumber.h"
#include "admin/Store.h"

namespace snaphost {
namespace {

const char* ServerState(bool up) { return up ? "up" : "down"; }

// What a command that sets a machine up or down does with one that is not
// registered.
enum class Unregistered { kRegister, kRefuse };

void AddServerChange(CLI::App* server, CommandResult& result, const char* name,
                     const char* description, bool up, Unregistered unregistered) {
  CLI::App* command = server->add_subcommand(name, description);
  auto host = std::make_shared<std::string>();
  command->add_option("HOST", *host, "Host name of the machine")
      ->required()
      ->check(StorableName("host name"));
  command->callback([host, up, unregistered, &result] {
    std::shared_ptr<localplatform::Store> store = localplatform::OpenStore();
    localplatform::NfsServerRow row;
    std::optional<std::string> before;
    if (store->FindNfsServer(*host, row)) {
      before = ServerState(row.up);
    } else if (unregistered == Unregistered::kRefuse) {
      throw HostError("no NFS server machine [" + *host + "] is registered");
    }
    store->PutNfsServer({*host, up});
    ReportChange("server " + *host, before, ServerState(up));
    result.exitCode = 0;
  });
}

void AddServerCommands(CLI::App& app, CommandResult& result) {
  CLI::App* server = app.add_subcommand("server", "NFS file-server machines");
  server->require_subcommand(1);
  AddServerChange(server, result, "add", "Register HOST as an NFS server machine that is up", true,
                  Unregistered::kRegister);
  AddServerChange(server, result, "up", "Mark the registered HOST up", true, Unregistered::kRefuse);
  AddServerChange(server, result, "down", "Mark the registered HOST down", false,
                  Unregistered::kRefuse);

  AddListCommand(server, "list", "List the NFS server machines", result,
                 {{"HOST", "hostName"}, {"STATE", "state"}}, [](Listing& listing) {
                   for (const auto& row : localplatform::OpenStore()->ListNfsServers()) {
                     listing.Add({row.hostName, ServerState(row.up)});
                   }
                 });
}

// The stored text as it is, then one row per piece with the value of each
// tag; a piece that lacks a tag shows "-" (null in JSON).
void PrintViewList(const std::string& list, bool json) {
  std::vector<Column> columns = {{"PIECE", "piece", true}};
  for (const char* tag : formats::kViewRecordTags) columns.push_back({tag, tag});
  Listing pieces(columns);
  int number = 0;
  formats::VisitViewPieces(list, [&](std::string_view piece) {
    std::vector<Cell> cells = {std::to_string(++number)};
    for (const char* tag : formats::kViewRecordTags) {
      std::string_view value;
      bool found = formats::ViewTag(tag).FindValue(piece, value) == formats::TagSearch::kFound;
      cells.push_back(found ? Cell(std::string(value)) : std::nullopt);
    }
    pieces.Add(cells);
    return false;
  });
  if (json) {
    PrintJsonLine({{"stored", list}, {"pieces", pieces.JsonRows()}});
  } else {
    std::cout << "stored: " << list << "\n" << pieces.Table();
  }
}

void AddViewCommands(CLI::App& app, CommandResult& result) {
  CLI::App* views = app.add_subcommand("views", "View lists of share subclients");
  views->require_subcommand(1);
  CLI::App* show = views->add_subcommand("show", "Show one subclient's view list");
  auto subclientId = std::make_shared<int64_t>(0);
  auto json = std::make_shared<bool>(false);
  show->add_option("SUBCLIENT_ID", *subclientId, "Subclient identifier of the share")
      ->required()
      ->transform(SubclientIdNumber());
  show->add_flag("--json", *json, "Print the view list as JSON");
  show->callback([subclientId, json, &result] {
    PrintViewList(
        localplatform::OpenStore()->ReadViewList(static_cast<uint64_t>(*subclientId)).text, *json);
    result.exitCode = 0;
  });
}

void AddExportCommands(CLI::App& app, CommandResult& result) {
  CLI::App* exports = app.add_subcommand("exports", "Exports of the NFS server machines");
  exports->require_subcommand(1);
  AddListCommand(
      exports, "list", "List the exports of every server", result,
      {{"HOST", "hostName"},
       {"SUBCLIENT", "subclientId", true},
       {"MOUNT PATH", "mountPath"},
       {"TYPE", "exportType", true},
       {"EXPORTED AT", "exportedAt"}},
      [](Listing& listing) {
        for (const auto& row : localplatform::OpenStore()->ListExports()) {
          listing.Add({row.hostName, std::to_string(static_cast<int64_t>(row.subclientId)),
                       row.mountPath, std::to_string(row.exportType), UtcTime(row.exportedAt)});
        }
      });
}

}  // namespace

void AddFileServerCommands(CLI::App& app, HostContext&, CommandResult& result) {
  AddServerCommands(app, result);
  AddViewCommands(app, result);
  AddExportCommands(app, result);
}

}  // namespace snaphost
