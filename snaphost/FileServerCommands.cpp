// Platform administration of the NFS file-server service and the view
// lists: register server machines and mark them down or up, show one
// subclient's view list, list every export.

#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "Commands.h"
#include "ViewListFormat.h"
#include "ViewRecordFormat.h"
#include "store/Store.h"

namespace snaphost {
namespace {

void PrintServer(const localplatform::NfsServerRow& server) {
  std::cout << server.hostName << "\t" << (server.up ? "up" : "down") << "\n";
}

void AddServerCommands(CLI::App& app, CommandResult& result) {
  CLI::App* server = app.add_subcommand("server", "NFS file-server machines");
  server->require_subcommand(1);

  CLI::App* add =
      server->add_subcommand("add", "Register HOST as an NFS server machine that is up");
  auto addHost = std::make_shared<std::string>();
  add->add_option("HOST", *addHost, "Host name of the machine")->required();
  add->callback([addHost, &result] {
    localplatform::NfsServerRow row{*addHost, true};
    localplatform::OpenStore()->PutNfsServer(row);
    PrintServer(row);
    result.exitCode = 0;
  });

  for (bool up : {false, true}) {
    CLI::App* mark = server->add_subcommand(
        up ? "up" : "down", up ? "Mark the registered HOST up" : "Mark the registered HOST down");
    auto markHost = std::make_shared<std::string>();
    mark->add_option("HOST", *markHost, "Host name of the machine")->required();
    mark->callback([markHost, up, &result] {
      std::unique_ptr<localplatform::Store> store = localplatform::OpenStore();
      localplatform::NfsServerRow row;
      if (!store->FindNfsServer(*markHost, row)) {
        throw HostError("no NFS server machine [" + *markHost + "] is registered");
      }
      row.up = up;
      store->PutNfsServer(row);
      PrintServer(row);
      result.exitCode = 0;
    });
  }

  server->add_subcommand("list", "List the NFS server machines")->callback([&result] {
    for (const localplatform::NfsServerRow& row : localplatform::OpenStore()->ListNfsServers()) {
      PrintServer(row);
    }
    result.exitCode = 0;
  });
}

// The stored text first, exactly as it is; then one row per piece with the
// value of each tag, "(missing)" where a piece lacks the tag.
void PrintViewList(const std::string& list) {
  std::cout << "stored: " << list << "\n";
  std::cout << "piece";
  for (const char* tag : formats::kViewRecordTags) std::cout << "\t" << tag;
  std::cout << "\n";
  int number = 0;
  formats::VisitViewPieces(list, [&number](std::string_view piece) {
    std::cout << ++number;
    for (const char* tag : formats::kViewRecordTags) {
      std::string_view value = "(missing)";  // left so when the piece lacks the tag
      formats::ViewTag(tag).FindValue(piece, value);
      std::cout << "\t" << value;
    }
    std::cout << "\n";
    return false;
  });
}

void AddViewCommands(CLI::App& app, CommandResult& result) {
  CLI::App* views = app.add_subcommand("views", "View lists of share subclients");
  views->require_subcommand(1);
  CLI::App* show = views->add_subcommand("show", "Show one subclient's view list");
  auto subclientId = std::make_shared<int64_t>(0);
  show->add_option("SUBCLIENT_ID", *subclientId, "Subclient identifier of the share")->required();
  show->callback([subclientId, &result] {
    PrintViewList(
        localplatform::OpenStore()->ReadViewList(static_cast<uint64_t>(*subclientId)).text);
    result.exitCode = 0;
  });
}

std::string UtcTime(int64_t seconds) {
  std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

void AddExportCommands(CLI::App& app, CommandResult& result) {
  CLI::App* exports = app.add_subcommand("exports", "Exports of the NFS server machines");
  exports->require_subcommand(1);
  exports->add_subcommand("list", "List the exports of every server")->callback([&result] {
    std::cout << "host\tsubclient\tmount path\ttype\texported at\n";
    for (const localplatform::ExportRow& row : localplatform::OpenStore()->ListExports()) {
      std::cout << row.hostName << "\t" << static_cast<int64_t>(row.subclientId) << "\t"
                << row.mountPath << "\t" << row.exportType << "\t" << UtcTime(row.exportedAt)
                << "\n";
    }
    result.exitCode = 0;
  });
}

}  // namespace

void AddFileServerCommands(CLI::App& app, HostContext&, CommandResult& result) {
  AddServerCommands(app, result);
  AddViewCommands(app, result);
  AddExportCommands(app, result);
}

}  // namespace snaphost
