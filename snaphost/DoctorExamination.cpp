#include "DoctorExamination.h"

#include "SnapCodes.h"

namespace snaphost {
namespace {

struct KindText {
  const char* name;
  const char* meaning;
};

// In the order of FindingKind.
constexpr KindText kKindTexts[] = {
    {"view-without-export",
     "the view is listed but not exported: a map interrupted between its two steps, a roll-back "
     "that could not run, or an unmap interrupted before it wrote the list"},
    {"export-without-view",
     "the export stands but no view lists it: an unmap whose withdraw command failed, or a view "
     "taken out of the list by other means"},
    {"mapped-view-gone",
     "the record says mapped but its view is gone: an unmap that finished on the platform while "
     "its record was not kept, or a view taken out of the list by other means"},
    {"record-not-mapped",
     "the view is listed and exported but the record does not say mapped: a map that finished on "
     "the platform while its record was not kept, or a failed map or unmap of a mapped record"},
    {"view-without-record",
     "no record of this host names the view: another host's mapping, or a record this host lost"},
    {"unreadable-piece", "a piece of the view list without a view name or a mount path"},
};

bool SaysMapped(const SnapRecord& record) {
  return record.status == ZRSO::STATUS_MAPPED || record.status == ZRSO::STATUS_VIEW_EXISTS;
}

// What the platform holds of one record's mapping.
struct Holding {
  const ListedView* view = nullptr;
  uint64_t subclientId = 0;
  std::string host;  // of the view's export; empty when it has none
  std::vector<const localplatform::ExportRow*> strayExports;  // exports no view lists
};

// The mend that brings a record and the platform into agreement. Whatever
// part of a mapping the platform still holds is completed by mapping the
// record again, which adds what is missing and removes nothing; a record that
// says mapped of which nothing is left is unmapped, which removes nothing
// either and makes the record say so.
Mend MendFor(const SnapRecord& record, const Holding& holding) {
  bool exported = holding.view != nullptr && !holding.host.empty();
  if (holding.view != nullptr && (!exported || !SaysMapped(record))) return Mend::kMapAgain;
  if (!holding.strayExports.empty()) return Mend::kMapAgain;
  if (holding.view == nullptr && SaysMapped(record)) return Mend::kUnmap;
  return Mend::kNone;
}

void AddRecordFindings(const SnapRecord& record, const Holding& holding,
                       std::vector<Finding>& findings) {
  Mend mend = MendFor(record, holding);
  if (mend == Mend::kNone) return;
  auto add = [&](FindingKind kind, uint64_t subclientId, const std::string& mountPath,
                 const std::string& host) {
    findings.push_back({kind, record.id, subclientId, mountPath, host, mend});
  };
  if (holding.view != nullptr && holding.host.empty()) {
    add(FindingKind::kViewWithoutExport, holding.subclientId, holding.view->mountPath, "");
  } else if (holding.view != nullptr && !SaysMapped(record)) {
    add(FindingKind::kRecordNotMapped, holding.subclientId, holding.view->mountPath, holding.host);
  } else if (holding.view == nullptr && SaysMapped(record)) {
    add(FindingKind::kMappedViewGone, 0, SnapDeviceMountPath(record), "");
  }
  for (const localplatform::ExportRow* row : holding.strayExports) {
    add(FindingKind::kExportWithoutView, row->subclientId, row->mountPath, row->hostName);
  }
}

}  // namespace

const char* KindName(FindingKind kind) { return kKindTexts[static_cast<int>(kind)].name; }

const char* KindMeaning(FindingKind kind) { return kKindTexts[static_cast<int>(kind)].meaning; }

const char* MendName(Mend mend) {
  switch (mend) {
    case Mend::kMapAgain: return "map again";
    case Mend::kUnmap: return "unmap";
    case Mend::kNone: break;
  }
  return "left alone";
}

bool OfOtherHosts(const Finding& finding) {
  return finding.recordId.empty() && finding.kind != FindingKind::kUnreadablePiece;
}

std::vector<Finding> Examine(const Survey& survey) {
  std::map<std::string, size_t> recordByViewName;
  std::map<std::string, size_t> recordByMountPath;
  for (size_t i = 0; i < survey.records.size(); ++i) {
    recordByViewName[RecordViewName(survey.records[i])] = i;
    std::string mountPath = SnapDeviceMountPath(survey.records[i]);
    if (!mountPath.empty()) recordByMountPath[mountPath] = i;
  }
  std::vector<Holding> holdings(survey.records.size());
  std::vector<Finding> unexplained;
  std::vector<bool> exportListed(survey.exports.size(), false);

  for (const SubclientViews& list : survey.viewLists) {
    for (const ListedView& view : list.views) {
      if (!view.readable) {
        unexplained.push_back({FindingKind::kUnreadablePiece, "", list.subclientId, view.piece, ""});
        continue;
      }
      // A view's export is made by the machine of the server client it names.
      auto client = survey.clientHosts.find(view.serverClientName);
      std::string exportedBy;
      for (size_t j = 0; j < survey.exports.size(); ++j) {
        const localplatform::ExportRow& row = survey.exports[j];
        if (client != survey.clientHosts.end() && row.hostName == client->second &&
            row.subclientId == list.subclientId && row.mountPath == view.mountPath) {
          exportListed[j] = true;
          exportedBy = row.hostName;
        }
      }
      auto record = recordByViewName.find(view.name);
      if (record == recordByViewName.end()) {
        unexplained.push_back(
            {FindingKind::kViewWithoutRecord, "", list.subclientId, view.mountPath, exportedBy});
        continue;
      }
      holdings[record->second].view = &view;
      holdings[record->second].subclientId = list.subclientId;
      holdings[record->second].host = exportedBy;
    }
  }
  for (size_t j = 0; j < survey.exports.size(); ++j) {
    if (exportListed[j]) continue;
    const localplatform::ExportRow& row = survey.exports[j];
    auto record = recordByMountPath.find(row.mountPath);
    if (record != recordByMountPath.end()) {
      holdings[record->second].strayExports.push_back(&row);
    } else {
      unexplained.push_back(
          {FindingKind::kExportWithoutView, "", row.subclientId, row.mountPath, row.hostName});
    }
  }

  std::vector<Finding> findings;
  for (size_t i = 0; i < survey.records.size(); ++i) {
    AddRecordFindings(survey.records[i], holdings[i], findings);
  }
  findings.insert(findings.end(), unexplained.begin(), unexplained.end());
  return findings;
}

}  // namespace snaphost
