#include "RecordOutput.h"

#include <iostream>
#include <sstream>
#include <string>

#include "AdminOutput.h"
#include "JsonText.h"
#include "SnapCodes.h"

namespace snaphost {
namespace {

const std::string* Metadata(const SnapRecord& record, int id) {
  auto found = record.metadata.find(id);
  return found == record.metadata.end() ? nullptr : &found->second;
}

std::string JsonMetadata(const SnapRecord& record, int id) {
  const std::string* text = Metadata(record, id);
  return text != nullptr ? JsonString(*text) : "null";
}

// The snapshot time the plug-in stamped, seconds since the epoch, as a
// time; any other text as it is.
Cell SnapTimeText(const SnapRecord& record) {
  const std::string* text = Metadata(record, ZRSO::SM_MDT_NFS_SNAP_TIME);
  if (text == nullptr) return std::nullopt;
  if (text->empty() || text->size() > 18 ||
      text->find_first_not_of("0123456789") != std::string::npos) {
    return *text;
  }
  return UtcTime(std::stoll(*text));
}

Cell Text(const std::string& text) { return text.empty() ? Cell() : Cell(text); }

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
  Listing listing({{"ID", "id"},
                   {"#", "snapNumber"},
                   {"STATUS", "status"},
                   {"ERROR", "errorCode"},
                   {"SNAP TIME", "snapTime"},
                   {"SUBCLIENT", "shareSubclientId"},
                   {"SNAP DEVICE", "snapDevice"},
                   {"ERROR TEXT", "errorText"}});
  for (const SnapRecord& record : records) {
    const std::string* subclient = Metadata(record, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID);
    listing.Add({record.id, std::to_string(record.snapNumber), StatusText(record.status),
                 std::to_string(record.errorCode), SnapTimeText(record),
                 subclient != nullptr ? Cell(*subclient) : Cell(), Text(record.snapDevice),
                 Text(record.errorText)});
  }
  std::cout << listing.Table();
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
            << "created at:      " << UtcTime(record.createdAt) << "\n";
  for (const auto& [id, text] : record.metadata) {
    std::cout << "metadata " << id << ":    "
              << (id == ZRSO::SM_MDT_NFS_SNAP_TIME ? *SnapTimeText(record) : text) << "\n";
  }
  std::cout << "history:\n";
  Listing events({{"AT", "at"},
                  {"OPERATION", "operation"},
                  {"STATUS", "status"},
                  {"ERROR", "errorCode"},
                  {"ERROR TEXT", "errorText"}});
  for (const RecordEvent& event : history) {
    events.Add({UtcTime(event.at), event.operation, StatusText(event.status),
                std::to_string(event.errorCode), Text(event.errorText)});
  }
  std::istringstream table(events.Table());
  for (std::string line; std::getline(table, line);) std::cout << "  " << line << "\n";
}

}  // namespace snaphost
