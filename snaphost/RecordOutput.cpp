#include "RecordOutput.h"

#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "AdminOutput.h"
#include "SnapCodes.h"

namespace snaphost {
namespace {

const std::string* Metadata(const SnapRecord& record, int id) {
  auto found = record.metadata.find(id);
  return found == record.metadata.end() ? nullptr : &found->second;
}

Json MetadataJson(const SnapRecord& record, int id) {
  const std::string* text = Metadata(record, id);
  return text != nullptr ? Json(*text) : Json();
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

// One record's JSON object.
Json RecordJson(const SnapRecord& record) {
  return {{"id", record.id},
          {"snapNumber", record.snapNumber},
          {"status", record.status},
          {"statusText", StatusMeaning(record.status)},
          {"errorCode", record.errorCode},
          {"errorText", record.errorText},
          {"snapTime", MetadataJson(record, ZRSO::SM_MDT_NFS_SNAP_TIME)},
          {"shareSubclientId", MetadataJson(record, ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID)},
          {"sourceDevice", record.sourceDevice},
          {"snapDevice", record.snapDevice}};
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
  Json document = Json::object();
  if (result) document["result"] = *result;
  Json& list = document["records"] = Json::array();
  for (const SnapRecord& record : records) list.push_back(RecordJson(record));
  PrintJsonLine(document);
}

void PrintRecordJson(const SnapRecord& record, const std::vector<RecordEvent>& history) {
  Json object = RecordJson(record);
  Json& events = object["history"] = Json::array();
  for (const RecordEvent& event : history) {
    events.push_back({{"at", event.at},
                      {"operation", event.operation},
                      {"status", event.status},
                      {"statusText", StatusMeaning(event.status)},
                      {"errorCode", event.errorCode},
                      {"errorText", event.errorText}});
  }
  PrintJsonLine({{"records", Json::array({object})}});
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
