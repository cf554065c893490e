// snaphost map, is-mapped and unmap: the plug-in's mapping operations on
// records the host stored earlier.

#include <memory>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "Commands.h"
#include "RecordOutput.h"
#include "RecordSelection.h"

namespace snaphost {
namespace {

struct MapOptions {
  std::vector<std::string> ids;
  std::string share;
  bool json = false;
};

using EntryOf = BatchEntry Plugin::*;

void AddBatchCommand(CLI::App& app, HostContext& context, CommandResult& result, const char* name,
                     const char* description, EntryOf entry) {
  auto options = std::make_shared<MapOptions>();
  CLI::App* command = app.add_subcommand(name, description);
  CLI::Option* ids = command->add_option("IDS", options->ids, "Record ids");
  command->add_option("--share", options->share, "Every record of this share path, e.g. /share1")
      ->excludes(ids);
  command->add_flag("--json", options->json, "Print the records as JSON");
  command->callback([&context, &result, options, name, entry] {
    if (options->ids.empty() && options->share.empty()) {
      throw HostError(std::string(name) + " needs record ids or --share");
    }
    RecordCatalogue& catalogue = context.LockedCatalogue(CatalogueLock::Use::kBatch);
    std::vector<SnapRecord> records = SelectRecords(catalogue, options->ids, options->share);
    if (records.empty()) throw HostError("no record of share " + options->share);
    int batchResult = RunBatch(name, context.plugin().*entry, records, catalogue);
    if (options->json) {
      PrintRecordsJson(records, batchResult);
    } else {
      PrintRecordRows(records);
    }
    result.exitCode = batchResult;
  });
}

}  // namespace

void AddMapCommands(CLI::App& app, HostContext& context, CommandResult& result) {
  AddBatchCommand(app, context, result, "map",
                  "Map snapshots: a view in the share's list and its export (status 12); "
                  "the exit code is the batch result (0, 1 or 2)",
                  &Plugin::mapSnaps);
  AddBatchCommand(app, context, result, "is-mapped",
                  "Check whether snapshots are mapped (status 9 when their view is listed); "
                  "the exit code is always 0 but for host errors",
                  &Plugin::isMapped);
  AddBatchCommand(app, context, result, "unmap",
                  "Unmap snapshots: remove their views and withdraw the exports (status 14); "
                  "the exit code is the batch result (0, 1 or 2)",
                  &Plugin::unmapSnaps);
}

}  // namespace snaphost
