// snaphost list and show: the host's stored snapshot records.

#include <memory>
#include <string>
#include <vector>

#include "Commands.h"
#include "RecordOutput.h"
#include "RecordSelection.h"

namespace snaphost {

void AddRecordCommands(CLI::App& app, HostContext& context, CommandResult& result) {
  struct ListOptions {
    std::string share;
    bool json = false;
  };
  auto listOptions = std::make_shared<ListOptions>();
  CLI::App* list = app.add_subcommand("list", "List the stored snapshot records");
  list->add_option("--share", listOptions->share, "Only the records of this share path");
  list->add_flag("--json", listOptions->json, "Print the records as JSON");
  list->callback([&context, &result, listOptions] {
    std::vector<SnapRecord> records = SelectRecords(context.catalogue(), {}, listOptions->share);
    if (listOptions->json) {
      PrintRecordsJson(records, std::nullopt);
    } else {
      PrintRecordRows(records);
    }
    result.exitCode = 0;
  });

  struct ShowOptions {
    std::string id;
    bool json = false;
  };
  auto showOptions = std::make_shared<ShowOptions>();
  CLI::App* show = app.add_subcommand("show", "Show every field of one stored record and its history");
  show->add_option("ID", showOptions->id, "Record id")->required();
  show->add_flag("--json", showOptions->json, "Print the record as JSON");
  show->callback([&context, &result, showOptions] {
    std::vector<SnapRecord> records = SelectRecords(context.catalogue(), {showOptions->id}, "");
    std::vector<RecordEvent> history = context.catalogue().History(showOptions->id);
    if (showOptions->json) {
      PrintRecordJson(records.front(), history);
    } else {
      PrintRecordDetail(records.front(), history);
    }
    result.exitCode = 0;
  });
}

}  // namespace snaphost
