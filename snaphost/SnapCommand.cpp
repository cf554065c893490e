// snaphost snap: takes snapshots of a share through the plug-in and keeps
// the records in the catalogue.

#include <uuid/uuid.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "Commands.h"
#include "DeviceDescriptorFormat.h"
#include "RecordOutput.h"
#include "StorableName.h"
#include "WholeNumber.h"

namespace snaphost {
namespace {

struct SnapOptions {
  std::string share;
  std::string server;
  std::string sourceDevice;
  std::optional<int> jobId;
  int count = 1;
  bool json = false;
};

std::string NewUuid() {
  uuid_t uuid;
  uuid_generate(uuid);
  char text[37];
  uuid_unparse_lower(uuid, text);
  return text;
}

int RunSnap(HostContext& context, const SnapOptions& options) {
  if (options.sourceDevice.empty() && (options.share.empty() || options.server.empty())) {
    throw HostError("snap needs --share and --server, or --source-device");
  }
  // The catalogue keeps plain slashes; the record hands them out escaped.
  const std::string sourceDevice = options.sourceDevice.empty()
                                       ? formats::NfsDeviceDescriptor(options.share, options.server)
                                       : formats::UnescapeSlashes(options.sourceDevice);

  Plugin& plugin = context.plugin();
  RecordCatalogue& catalogue = context.LockedCatalogue(CatalogueLock::Use::kBatch);

  std::vector<SnapRecord> records(static_cast<size_t>(options.count));
  int snapNumber = catalogue.NextSnapNumber();
  for (SnapRecord& record : records) {
    record.id = NewUuid();
    record.snapNumber = snapNumber++;
    record.sourceDevice = sourceDevice;
    record.jobId = options.jobId;
    record.arrayName = options.server;
    record.createdAt = static_cast<int64_t>(std::time(nullptr));
  }

  int result = RunBatch("snap", plugin.snapDevices, records, catalogue);
  if (options.json) {
    PrintRecordsJson(records, result);
  } else {
    PrintRecordRows(records);
  }
  return result;
}

}  // namespace

void AddSnapCommand(CLI::App& app, HostContext& context, CommandResult& result) {
  auto options = std::make_shared<SnapOptions>();
  CLI::App* command = app.add_subcommand(
      "snap", "Take snapshots of an NFS share; the exit code is the batch result (0, 1 or 2)");
  CLI::Option* share = command->add_option("--share", options->share, "Share path, e.g. /share1");
  CLI::Option* server = command->add_option("--server", options->server, "NFS server host name")
                            ->check(StorableName("host name"));
  command
      ->add_option("--source-device", options->sourceDevice,
                   "Raw source device descriptor, instead of --share and --server")
      ->excludes(share)
      ->excludes(server);
  share->needs(server);
  server->needs(share);
  command->add_option("--job", options->jobId, "Job id the snapshots belong to")
      ->transform(WholeNumber<int>());
  command->add_option("--count", options->count, "How many snapshots to take")
      ->transform(WholeNumber(1, static_cast<int>(std::numeric_limits<int16_t>::max())));
  command->add_flag("--json", options->json, "Print the records as JSON");
  command->callback([&context, &result, options] { result.exitCode = RunSnap(context, *options); });
}

}  // namespace snaphost
