#include "RecordOutput.h"

#include <cstdio>
#include <iostream>
#include <string>

#include "JsonText.h"
#include "SnapCodes.h"

namespace snaphost {
namespace {

const std::string* Metadata(const SnapRecord& record, int id) {
  auto found = record.metadata.find(id);
  return found == record.metadata.end() ? nullptr : &found->second;
}

const char* MetadataText(const SnapRecord& record, int id) {
  const std::string* text = Metadata(record, id);
  return text != nullptr ? text->c_str() : "-";
}

std::string JsonMetadata(const SnapRecord& record, int id) {
  const std::string* text = Metadata(record, id);
  return text != nullptr ? JsonString(*text) : "null";
}

std::string StatusText(int status) { return std::to_string(status) + " " + StatusMeaning(status); }

// The fields of one record's JSON object, without its braces.
std::string RecordJsonFields(const SnapRecord& record) {
  std::string out = "\"id\":" + JsonString(record.id);
  out += ",\"snapNumber\":" + std::to_string(record.snapNumber);
  out += ",\"status\":" + std::to_string(record.status);
  out += ",\"statusText\":" + JsonString(StatusMeaning(record.status));
  out += ",\"errorCode\":" + std::to_string(record.errorCode);
  out += ",\"errorText\":" + JsonString(record.errorText);
  out += ",\"snapTime\":" + JsonMetadata(record, ZRSO::SM_MDT_NFS_SNAP_TIME);
  out += ",\"shareSubclientId\":" + JsonMetadata(record, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID);
  out += ",\"sourceDevice\":" + JsonString(record.sourceDevice);
  out += ",\"snapDevice\":" + JsonString(record.snapDevice);
  return out;
}

}  // namespace

void PrintRecordRows(const std::vector<SnapRecord>& records) {
  std::printf("%-36s %4s  %-16s %-6s %-11s %-10s %-52s %s\n", "ID", "#", "STATUS", "ERROR",
              "SNAP TIME", "SUBCLIENT", "SNAP DEVICE", "ERROR TEXT");
  for (const SnapRecord& record : records) {
    std::printf("%-36s %4d  %-16s %-6d %-11s %-10s %-52s %s\n", record.id.c_str(),
                record.snapNumber, StatusText(record.status).c_str(), record.errorCode,
                MetadataText(record, ZRSO::SM_MDT_NFS_SNAP_TIME),
                MetadataText(record, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID),
                record.snapDevice.empty() ? "-" : record.snapDevice.c_str(),
                record.errorText.c_str());
  }
}

void PrintRecordsJson(const std::vector<SnapRecord>& records, std::optional<int> result) {
  std::string out = "{";
  if (result) out += "\"result\":" + std::to_string(*result) + ",";
  out += "\"records\":[";
  for (size_t i = 0; i < records.size(); ++i) {
    out += (i == 0 ? "{" : ",{") + RecordJsonFields(records[i]) + "}";
  }
  out += "]}";
  std::cout << out << "\n";
}

void PrintRecordJson(const SnapRecord& record, const std::vector<RecordEvent>& history) {
  std::string out = "{\"records\":[{" + RecordJsonFields(record) + ",\"history\":[";
  for (size_t i = 0; i < history.size(); ++i) {
    const RecordEvent& event = history[i];
    out += (i == 0 ? "{" : ",{");
    out += "\"at\":" + std::to_string(event.at);
    out += ",\"operation\":" + JsonString(event.operation);
    out += ",\"status\":" + std::to_string(event.status);
    out += ",\"statusText\":" + JsonString(StatusMeaning(event.status));
    out += ",\"errorCode\":" + std::to_string(event.errorCode);
    out += ",\"errorText\":" + JsonString(event.errorText) + "}";
  }
  out += "]}]}";
  std::cout << out << "\n";
}

void PrintRecordDetail(const SnapRecord& record, const std::vector<RecordEvent>& history) {
  std::cout << "id:              " << record.id << "\n"
            << "snap number:     " << record.snapNumber << "\n"
            << "source device:   " << record.sourceDevice << "\n"
            << "snap device:     " << (record.snapDevice.empty() ? "-" : record.snapDevice) << "\n"
            << "status:          " << StatusText(record.status) << "\n"
            << "error:           " << record.errorCode << " " << record.errorText << "\n"
            << "job id:          " << (record.jobId ? std::to_string(*record.jobId) : "-") << "\n"
            << "array:           " << (record.arrayName.empty() ? "-" : record.arrayName) << "\n"
            << "created at:      " << record.createdAt << "\n";
  for (const auto& [id, text] : record.metadata) {
    std::cout << "metadata " << id << ":    " << text << "\n";
  }
  std::cout << "history:\n";
  for (const RecordEvent& event : history) {
    std::printf("  %-11lld %-15s %-16s %-6d %s\n", static_cast<long long>(event.at),
                event.operation.c_str(), StatusText(event.status).c_str(), event.errorCode,
                event.errorText.c_str());
  }
}

}  // namespace snaphost
