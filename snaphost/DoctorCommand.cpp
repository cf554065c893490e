// snaphost doctor: compares the host's records, every share subclient's view
// list and the file-server exports, reports each disagreement with what it
// means and, with --repair, mends through the plug-in those that a record of
// this host explains. Views and exports that no record of this catalogue
// names are other hosts' business, listed only when asked for. Doctor runs
// alone, never beside a batch of its catalogue (CatalogueLock.h).

#include <cstdlib>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "AdminOutput.h"
#include "BatchRun.h"
#include "Commands.h"
#include "DoctorExamination.h"
#include "RecordSelection.h"
#include "SnapCodes.h"

namespace snaphost {
namespace {

struct DoctorOptions {
  std::string share;
  bool json = false;
  bool repair = false;
  bool others = false;
  bool wait = false;
};

// What doctor found: this catalogue's disagreements, and the views and
// exports of other hosts.
struct Findings {
  std::vector<Finding> own;
  std::vector<Finding> others;
};

Findings SplitByOwner(const std::vector<Finding>& all) {
  Findings findings;
  for (const Finding& finding : all) {
    (OfOtherHosts(finding) ? findings.others : findings.own).push_back(finding);
  }
  return findings;
}

// What one mend did to its record.
struct Repair {
  Mend mend = Mend::kNone;
  SnapRecord record;
};

// The subclient a record was snapped on, as the plug-in passes subclient ids
// (sign-extended); 0 when the record has none.
uint64_t RecordSubclient(const SnapRecord& record) {
  auto id = record.metadata.find(ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID);
  if (id == record.metadata.end()) return 0;
  return static_cast<uint64_t>(std::strtoll(id->second.c_str(), nullptr, 10));
}

// The subclients of share path `share`: those the management database lists
// under its name and those the share's records were snapped on.
std::set<uint64_t> ShareSubclients(localplatform::Store& store, const std::string& share,
                                   const std::vector<SnapRecord>& records) {
  std::set<uint64_t> subclients;
  for (const localplatform::ShareRow& row : store.ListShares()) {
    if ("/" + row.share == share) subclients.insert(static_cast<uint64_t>(row.subclientId));
  }
  for (const SnapRecord& record : records) {
    if (RecordShare(record) == share && RecordSubclient(record) != 0) {
      subclients.insert(RecordSubclient(record));
    }
  }
  return subclients;
}

// The records, view lists and exports of the subclients of `share`, or of
// everything when it is empty.
Survey ReadSurvey(RecordCatalogue& catalogue, const std::string& share) {
  Survey survey;
  std::vector<SnapRecord> records = catalogue.List();
  std::shared_ptr<localplatform::Store> store = localplatform::OpenStore();
  std::set<uint64_t> subclients;
  if (!share.empty()) {
    subclients = ShareSubclients(*store, share, records);
    if (subclients.empty()) {
      throw HostError("no share " + share + " is configured, and no record names it");
    }
  }
  auto inScope = [&](uint64_t id) { return share.empty() || subclients.count(id) != 0; };
  for (SnapRecord& record : records) {
    if (inScope(RecordSubclient(record)) || RecordShare(record) == share) {
      survey.records.push_back(std::move(record));
    }
  }
  for (const auto& [subclientId, list] : store->ListViewLists()) {
    if (inScope(subclientId)) survey.viewLists.push_back({subclientId, ReadViewList(list.text)});
  }
  for (localplatform::ExportRow& row : store->ListExports()) {
    if (inScope(row.subclientId)) survey.exports.push_back(std::move(row));
  }
  for (const localplatform::ClientRow& client : store->ListClients()) {
    survey.clientHosts[client.name] = client.hostName;
  }
  return survey;
}

// Runs each record that a finding mends through the plug-in: first the maps,
// then the unmaps, each kind as one batch.
std::vector<Repair> MendRecords(HostContext& context, const Survey& survey,
                                const std::vector<Finding>& findings) {
  struct Step {
    Mend mend;
    BatchEntry Plugin::*entry;
    const char* label;
  };
  const Step steps[] = {{Mend::kMapAgain, &Plugin::mapSnaps, "map (repair)"},
                        {Mend::kUnmap, &Plugin::unmapSnaps, "unmap (repair)"}};
  std::vector<Repair> repairs;
  for (const Step& step : steps) {
    std::set<std::string> ids;
    for (const Finding& finding : findings) {
      if (finding.mend == step.mend) ids.insert(finding.recordId);
    }
    std::vector<SnapRecord> records;
    for (const SnapRecord& record : survey.records) {
      if (ids.count(record.id) != 0) records.push_back(record);
    }
    if (records.empty()) continue;
    RunBatch(step.label, context.plugin().*step.entry, records, context.catalogue());
    for (SnapRecord& record : records) repairs.push_back({step.mend, std::move(record)});
  }
  return repairs;
}

// A finding's subclient id as it was configured (signed); null when unknown.
Json SubclientJson(const Finding& finding) {
  return finding.subclientId == 0 ? Json() : Json(static_cast<int64_t>(finding.subclientId));
}

std::string SubclientText(const Finding& finding) {
  const Json id = SubclientJson(finding);
  return id.is_null() ? "" : id.dump();
}

// The piece itself stands where the mount path does for an unreadable piece.
const char* SubjectName(const Finding& finding) {
  return finding.kind == FindingKind::kUnreadablePiece ? "piece" : "path";
}

std::string TextOrDash(const std::string& text) { return text.empty() ? "-" : text; }

void PrintFindings(const std::vector<Finding>& findings) {
  for (const Finding& finding : findings) {
    std::cout << KindName(finding.kind) << " record=" << TextOrDash(finding.recordId)
              << " subclient=" << TextOrDash(SubclientText(finding)) << " " << SubjectName(finding)
              << "=" << finding.mountPath << " exported-by=" << TextOrDash(finding.host)
              << " repair=" << MendName(finding.mend) << "\n    " << KindMeaning(finding.kind)
              << "\n";
  }
}

void PrintText(const std::vector<Repair>& repairs, const Findings& findings, bool others) {
  for (const Repair& repair : repairs) {
    const SnapRecord& record = repair.record;
    std::cout << "repaired " << record.id << ": " << MendName(repair.mend) << " -> "
              << record.status << " " << StatusMeaning(record.status);
    if (record.errorCode != 0)
      std::cout << " (" << record.errorCode << " " << record.errorText << ")";
    std::cout << "\n";
  }
  PrintFindings(findings.own);
  if (others) PrintFindings(findings.others);
  if (findings.own.empty()) {
    std::cout << "doctor: records, views and exports agree\n";
  } else {
    std::cout << "doctor: " << findings.own.size() << " disagreement"
              << (findings.own.size() == 1 ? "" : "s") << "\n";
  }
  if (!findings.others.empty()) {
    std::cout << "doctor: " << findings.others.size() << " view"
              << (findings.others.size() == 1 ? " or export" : "s or exports")
              << " of other hosts, which no record of this catalogue names"
              << (others ? "" : " (--others lists them)") << "\n";
  }
}

Json TextOrNull(const std::string& text) { return text.empty() ? Json() : Json(text); }

Json FindingsJson(const std::vector<Finding>& findings) {
  Json list = Json::array();
  for (const Finding& finding : findings) {
    list.push_back({{"kind", KindName(finding.kind)},
                    {"record", TextOrNull(finding.recordId)},
                    {"subclient", SubclientJson(finding)},
                    {SubjectName(finding), finding.mountPath},
                    {"exportedBy", TextOrNull(finding.host)},
                    {"repair", MendName(finding.mend)},
                    {"meaning", KindMeaning(finding.kind)}});
  }
  return list;
}

void PrintReportJson(const std::vector<Repair>* repairs, const Findings& findings, bool others) {
  Json report = {{"agree", findings.own.empty()}};
  if (repairs != nullptr) {
    Json& list = report["repairs"] = Json::array();
    for (const Repair& repair : *repairs) {
      const SnapRecord& record = repair.record;
      list.push_back({{"record", record.id},
                      {"repair", MendName(repair.mend)},
                      {"status", record.status},
                      {"statusText", StatusMeaning(record.status)},
                      {"errorCode", record.errorCode},
                      {"errorText", record.errorText}});
    }
  }
  report["findings"] = FindingsJson(findings.own);
  report["otherHosts"] = findings.others.size();
  if (others) report["others"] = FindingsJson(findings.others);
  PrintJsonLine(report);
}

int RunDoctor(HostContext& context, const DoctorOptions& options) {
  RecordCatalogue& catalogue = context.LockedCatalogue(CatalogueLock::Use::kDoctor, options.wait);
  Survey survey = ReadSurvey(catalogue, options.share);
  Findings findings = SplitByOwner(Examine(survey));
  std::vector<Repair> repairs;
  if (options.repair && !findings.own.empty()) {
    repairs = MendRecords(context, survey, findings.own);
    findings = SplitByOwner(Examine(ReadSurvey(catalogue, options.share)));
  }
  if (options.json) {
    PrintReportJson(options.repair ? &repairs : nullptr, findings, options.others);
  } else {
    PrintText(repairs, findings, options.others);
  }
  return findings.own.empty() ? 0 : 1;
}

}  // namespace

void AddDoctorCommand(CLI::App& app, HostContext& context, CommandResult& result) {
  auto options = std::make_shared<DoctorOptions>();
  CLI::App* command = app.add_subcommand(
      "doctor",
      "Compare the records, the view lists and the exports and report each disagreement; "
      "exit 0 when this catalogue's records agree with the platform, 1 when not");
  command->add_option("--share", options->share, "Only this share path, e.g. /share1");
  command->add_flag("--json", options->json, "Print the findings as JSON");
  command->add_flag("--repair", options->repair,
                    "Mend through the plug-in what a record of this host explains, then report "
                    "what is left");
  command->add_flag("--others", options->others,
                    "Also list the views and exports that no record of this catalogue names "
                    "(other hosts')");
  command->add_flag("--wait", options->wait,
                    "Wait for a running batch of this catalogue to end, instead of exit 3");
  command->callback(
      [&context, &result, options] { result.exitCode = RunDoctor(context, *options); });
}

}  // namespace snaphost
