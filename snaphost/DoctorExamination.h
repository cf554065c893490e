#pragma once
// What snaphost's doctor compares: the host's records, the view lists of the
// share subclients and the file-server exports. Every disagreement among them
// is a finding; a finding that one of this host's records explains carries
// the mend for that record, done through the plug-in.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "SnapRecord.h"
#include "ViewFormats.h"
#include "admin/Store.h"

namespace snaphost {

struct SubclientViews {
  uint64_t subclientId = 0;
  std::vector<ListedView> views;
};

struct Survey {
  std::vector<SnapRecord> records;
  std::vector<SubclientViews> viewLists;
  std::vector<localplatform::ExportRow> exports;
  std::map<std::string, std::string> clientHosts;  // client name -> network host name
};

enum class FindingKind {
  kViewWithoutExport,
  kExportWithoutView,
  kMappedViewGone,
  kRecordNotMapped,
  kViewWithoutRecord,
  kUnreadablePiece,
};

// What repair does about a record.
enum class Mend { kNone, kMapAgain, kUnmap };

struct Finding {
  FindingKind kind = FindingKind::kUnreadablePiece;
  std::string recordId;  // empty when no record of this host explains it
  uint64_t subclientId = 0;
  std::string mountPath;  // the piece itself for an unreadable piece
  std::string host;       // the machine that exports it; empty when none does
  Mend mend = Mend::kNone;
};

// "view-without-export" and so on.
const char* KindName(FindingKind kind);
// What the finding means: how it comes about.
const char* KindMeaning(FindingKind kind);
// "map again", "unmap" or "left alone".
const char* MendName(Mend mend);

// Whether the finding is a view or an export that no record of this
// catalogue names: on a shared platform, another host's mapping, and that
// host's business rather than a disagreement of this one.
bool OfOtherHosts(const Finding& finding);

// Every disagreement in `survey`: first those of each record, in record
// order, then the pieces, views and exports no record explains.
std::vector<Finding> Examine(const Survey& survey);

}  // namespace snaphost
