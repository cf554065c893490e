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

#include "Commands.h"
#include "HostSnapInfo.h"
#include "JsonText.h"
#include "host/SnapCodes.h"

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

// The source device of an NFS share, with plain slashes as the catalogue
// keeps it; it reaches the plug-in escaped.
std::string ShareSourceDevice(const std::string& share, const std::string& server) {
  return "{orutype:,type:nfs,lunuuid:" + share + ",targethostname:" + server + "}";
}

const std::string* Metadata(const SnapRecord& record, int id) {
  auto found = record.metadata.find(id);
  return found == record.metadata.end() ? nullptr : &found->second;
}

void PrintRows(const std::vector<SnapRecord>& records) {
  std::printf("%-36s  %-16s  %-6s  %-12s  %-12s  %s\n", "ID", "STATUS", "ERROR", "SNAP TIME",
              "SUBCLIENT", "ERROR TEXT");
  for (const SnapRecord& record : records) {
    const std::string* snapTime = Metadata(record, ZRSO::SM_MDT_NFS_SNAP_TIME);
    const std::string* subclient = Metadata(record, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID);
    std::string status = std::to_string(record.status) + " " + StatusMeaning(record.status);
    std::printf("%-36s  %-16s  %-6d  %-12s  %-12s  %s\n", record.id.c_str(), status.c_str(),
                record.errorCode, snapTime != nullptr ? snapTime->c_str() : "-",
                subclient != nullptr ? subclient->c_str() : "-", record.errorText.c_str());
  }
}

std::string JsonMetadata(const SnapRecord& record, int id) {
  const std::string* text = Metadata(record, id);
  return text != nullptr ? JsonString(*text) : "null";
}

void PrintJson(const std::vector<SnapRecord>& records, int result) {
  std::string out = "{\"result\":" + std::to_string(result) + ",\"records\":[";
  for (size_t i = 0; i < records.size(); ++i) {
    const SnapRecord& record = records[i];
    out += (i == 0 ? "" : ",");
    out += "{\"id\":" + JsonString(record.id);
    out += ",\"snapNumber\":" + std::to_string(record.snapNumber);
    out += ",\"status\":" + std::to_string(record.status);
    out += ",\"statusText\":" + JsonString(StatusMeaning(record.status));
    out += ",\"errorCode\":" + std::to_string(record.errorCode);
    out += ",\"errorText\":" + JsonString(record.errorText);
    out += ",\"snapTime\":" + JsonMetadata(record, ZRSO::SM_MDT_NFS_SNAP_TIME);
    out += ",\"shareSubclientId\":" + JsonMetadata(record, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID);
    out += "}";
  }
  out += "]}";
  std::cout << out << "\n";
}

int RunSnap(HostContext& context, const SnapOptions& options) {
  if (options.sourceDevice.empty() && (options.share.empty() || options.server.empty())) {
    throw HostError("snap needs --share and --server, or --source-device");
  }
  const std::string sourceDevice = options.sourceDevice.empty()
                                       ? ShareSourceDevice(options.share, options.server)
                                       : options.sourceDevice;

  Plugin& plugin = context.plugin();
  RecordCatalogue& catalogue = context.catalogue();

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

  // The host objects the plug-in sees; they write into `records`.
  std::vector<std::unique_ptr<HostSnapInfo>> hostRecords;
  std::vector<ZRSO::SnapInfo*> batch;
  for (SnapRecord& record : records) {
    hostRecords.push_back(std::make_unique<HostSnapInfo>(record));
    batch.push_back(hostRecords.back().get());
  }
  int result = plugin.snapDevices(batch.data(), static_cast<int16_t>(batch.size()), nullptr);

  try {
    catalogue.Save(records);
  } catch (const std::runtime_error& error) {
    throw HostError("cannot store the records: " + std::string(error.what()));
  }
  if (options.json) {
    PrintJson(records, result);
  } else {
    PrintRows(records);
  }
  return result;
}

}  // namespace

void AddSnapCommand(CLI::App& app, HostContext& context, CommandResult& result) {
  auto options = std::make_shared<SnapOptions>();
  CLI::App* command = app.add_subcommand(
      "snap", "Take snapshots of an NFS share; the exit code is the batch result (0, 1 or 2)");
  CLI::Option* share = command->add_option("--share", options->share, "Share path, e.g. /share1");
  CLI::Option* server = command->add_option("--server", options->server, "NFS server host name");
  command
      ->add_option("--source-device", options->sourceDevice,
                   "Raw source device descriptor, instead of --share and --server")
      ->excludes(share)
      ->excludes(server);
  share->needs(server);
  server->needs(share);
  command->add_option("--job", options->jobId, "Job id the snapshots belong to");
  command->add_option("--count", options->count, "How many snapshots to take")
      ->check(CLI::Range(1, static_cast<int>(std::numeric_limits<int16_t>::max())));
  command->add_flag("--json", options->json, "Print the records as JSON");
  command->callback([&context, &result, options] { result.exitCode = RunSnap(context, *options); });
}

}  // namespace snaphost
