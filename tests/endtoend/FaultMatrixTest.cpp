// Every platform service the plug-in depends on, made to fail in turn with
// the platform's injected faults, under each working entry point of the
// built plug-in. Each case runs a batch of two records on a fresh platform:
// one of the share whose service fails, and one of another share on another
// server that the fault does not reach. Afterwards each record carries the
// status and error of its step, and each share's view list and exports hold
// exactly what those steps leave behind.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "AppMgr.h"
#include "CopyIdKey.h"
#include "SnapCodes.h"
#include "faults/InjectedFaults.h"
#include "support/CapturingLogWriter.h"
#include "support/EndToEnd.h"
#include "support/TempPlatform.h"

namespace {

using namespace ZRSO;
using namespace localplatform;
using snaphost::SnapRecord;
using testsupport::CallEntry;

enum class Op { kSnap, kIsMapped, kMap, kUnmap };

constexpr int64_t kSales = 1001;
constexpr int64_t kEng = 2002;
const char kServerA[] = "nfs-a.example.test";
const char kServerB[] = "nfs-b.example.test";
constexpr int kJob = 7;
const std::string kCopyIdKey = formats::CopyIdKey(kJob);
constexpr uint64_t kCopyId = 4242;

const char kNoShareList[] = "Failed to get list of configured NFS shares.";
const char kNotFound[] = "NFS Share not found in KT DB.";
const char kUnreadable[] = "Failed to get PITview configuration for [sales]";
const char kUnwritable[] = "Failed to set PITview configuration for [sales]";
const char kNotExported[] = "Failed to send export command to NFS server.";

struct Case {
  Op op;
  const char* fault;  // "" for none
  int status;         // of the record of the failing share, afterwards
  int error;
  const char* text;
  bool listed;    // its view is in the share's list afterwards
  bool exported;  // and exported by its server
  // Set as well once the roll-back of a refused export begins.
  const char* faultAtRollBack = nullptr;
};

// Before the operation a record to snap is new, one to map is snapped, and
// one to check or unmap is mapped; the fault is set only then.
const Case kCases[] = {
    {Op::kSnap, "", STATUS_SNAPPED, 0, "", false, false},
    {Op::kIsMapped, "", STATUS_VIEW_EXISTS, 0, "", true, true},
    {Op::kMap, "", STATUS_MAPPED, 0, "", true, true},
    {Op::kUnmap, "", STATUS_UNMAPPED, 0, "", false, false},

    {Op::kSnap, kFaultStoredProcedure, STATUS_SNAP_FAILED, ERROR_SHARE_LIST, kNoShareList, false, false},
    {Op::kIsMapped, kFaultStoredProcedure, STATUS_MAPPED, ERROR_SHARE_LIST, kNoShareList, true, true},
    {Op::kMap, kFaultStoredProcedure, STATUS_MAP_FAILED, ERROR_SHARE_LIST, kNoShareList, false, false},
    {Op::kUnmap, kFaultStoredProcedure, STATUS_UNMAP_FAILED, ERROR_SHARE_LIST, kNoShareList, true, true},

    // The server's client name no longer gives its host, so the share's
    // entry matches no server.
    {Op::kSnap, kFaultClientHostName, STATUS_SNAP_FAILED, ERROR_SHARE_NOT_FOUND, kNotFound, false, false},
    {Op::kIsMapped, kFaultClientHostName, STATUS_MAPPED, ERROR_SHARE_NOT_FOUND, kNotFound, true, true},
    {Op::kMap, kFaultClientHostName, STATUS_MAP_FAILED, ERROR_SHARE_NOT_FOUND, kNotFound, false, false},
    {Op::kUnmap, kFaultClientHostName, STATUS_UNMAP_FAILED, ERROR_SHARE_NOT_FOUND, kNotFound, true, true},

    {Op::kSnap, kFaultViewListRead, STATUS_SNAPPED, 0, "", false, false},
    {Op::kIsMapped, kFaultViewListRead, STATUS_MAPPED, ERROR_VIEW_LIST_READ, kUnreadable, true, true},
    {Op::kMap, kFaultViewListRead, STATUS_MAP_FAILED, ERROR_VIEW_LIST_READ, kUnreadable, false, false},
    {Op::kUnmap, kFaultViewListRead, STATUS_UNMAP_FAILED, ERROR_VIEW_LIST_READ, kUnreadable, true, true},

    // An unmap withdraws the export before it writes the list: the view
    // stays listed, no longer exported.
    {Op::kSnap, kFaultViewListWrite, STATUS_SNAPPED, 0, "", false, false},
    {Op::kIsMapped, kFaultViewListWrite, STATUS_VIEW_EXISTS, 0, "", true, true},
    {Op::kMap, kFaultViewListWrite, STATUS_MAP_FAILED, ERROR_VIEW_LIST_WRITE, kUnwritable, false, false},
    {Op::kUnmap, kFaultViewListWrite, STATUS_UNMAP_FAILED, ERROR_VIEW_LIST_WRITE, kUnwritable, true, false},

    // A map rolls its view back; an unmap drops the view whose withdrawal
    // failed, and its export stays, unreported.
    {Op::kSnap, kFaultServerStart, STATUS_SNAPPED, 0, "", false, false},
    {Op::kIsMapped, kFaultServerStart, STATUS_VIEW_EXISTS, 0, "", true, true},
    {Op::kMap, kFaultServerStart, STATUS_MAP_FAILED, ERROR_EXPORT_COMMAND, kNotExported, false, false},
    {Op::kUnmap, kFaultServerStart, STATUS_UNMAPPED, 0, "", false, true},

    {Op::kSnap, kFaultExportCommand, STATUS_SNAPPED, 0, "", false, false},
    {Op::kIsMapped, kFaultExportCommand, STATUS_VIEW_EXISTS, 0, "", true, true},
    {Op::kMap, kFaultExportCommand, STATUS_MAP_FAILED, ERROR_EXPORT_COMMAND, kNotExported, false, false},
    {Op::kUnmap, kFaultExportCommand, STATUS_UNMAPPED, 0, "", false, true},
    // The roll-back cannot write the list: the view stays, unexported and
    // unreported.
    {Op::kMap, kFaultExportCommand, STATUS_MAP_FAILED, ERROR_EXPORT_COMMAND, kNotExported, true, false,
     kFaultViewListWrite},

    // Not a record failure: the job's copy id is simply not found.
    {Op::kSnap, kFaultInformationStore, STATUS_SNAPPED, 0, "", false, false},
    {Op::kIsMapped, kFaultInformationStore, STATUS_VIEW_EXISTS, 0, "", true, true},
    {Op::kMap, kFaultInformationStore, STATUS_MAPPED, 0, "", true, true},
    {Op::kUnmap, kFaultInformationStore, STATUS_UNMAPPED, 0, "", false, false},
};

// The one subject of the failing share that each fault is scoped to.
std::string ScopeOf(const std::string& fault) {
  if (fault == kFaultStoredProcedure) return std::to_string(SP_GET_NFS_SHARES);
  if (fault == kFaultClientHostName) return "nfs-a";
  if (fault == kFaultServerStart) return kServerA;
  if (fault == kFaultInformationStore) return kCopyIdKey;
  return std::to_string(kSales);
}

int SuccessStatus(Op op) {
  const int kStatus[] = {STATUS_SNAPPED, STATUS_VIEW_EXISTS, STATUS_MAPPED, STATUS_UNMAPPED};
  return kStatus[static_cast<int>(op)];
}
bool MappedBefore(Op op) { return op == Op::kIsMapped || op == Op::kUnmap; }
bool MappedAfterSuccess(Op op) { return op == Op::kIsMapped || op == Op::kMap; }

const char* Name(Op op) {
  const char* kNames[] = {"snap", "is-mapped", "map", "unmap"};
  return kNames[static_cast<int>(op)];
}

class FaultMatrix : public ::testing::Test {
 protected:
  snaphost::BatchEntry Entry(Op op) const {
    const snaphost::BatchEntry kEntries[] = {plugin_.snapDevices, plugin_.isMapped,
                                             plugin_.mapSnaps, plugin_.unmapSnaps};
    return kEntries[static_cast<int>(op)];
  }

  // The record's status and error, and whether its view is listed in the
  // subclient's list and exported by `server`.
  static void ExpectRecord(Store& store, const SnapRecord& record, const std::string& share,
                           int64_t subclient, const char* server, const Case& expected) {
    SCOPED_TRACE(share);
    EXPECT_EQ(record.status, expected.status);
    EXPECT_EQ(record.errorCode, expected.error);
    EXPECT_EQ(record.errorText, expected.text);
    const std::string path = testsupport::MountPath(record, share);
    const std::vector<std::string> listed = testsupport::ListedValues(store, subclient);
    const std::vector<std::string> exported = testsupport::ExportedMountPaths(store, server);
    const std::vector<std::string> none;
    EXPECT_EQ(listed, expected.listed ? std::vector<std::string>{path} : none);
    EXPECT_EQ(exported, expected.exported ? std::vector<std::string>{path} : none);
  }

  void RunCase(const Case& c) {
    testsupport::TempPlatform platform;
    Store& store = platform.store();
    platform.AddNfsServer("nfs-a", kServerA);
    platform.AddNfsServer("nfs-b", kServerB);
    store.AddShare({"sales", "nfs-a", kSales});
    store.AddShare({"eng", "nfs-b", kEng});

    SnapRecord failing = testsupport::ShareRecord("r", 1, "sales", kServerA);
    failing.jobId = kJob;
    SnapRecord bystander = testsupport::ShareRecord("b", 2, "eng", kServerB);
    if (c.op != Op::kSnap) {
      ASSERT_EQ(CallEntry(plugin_.snapDevices, {&failing, &bystander}), RESULT_SUCCESS);
    }
    if (MappedBefore(c.op)) {
      ASSERT_EQ(CallEntry(plugin_.mapSnaps, {&failing, &bystander}), RESULT_SUCCESS);
    }

    store.SetNumber(formats::kCopyIdSection, kCopyIdKey, kCopyId);
    if (*c.fault != '\0') store.SetFault({c.fault, ScopeOf(c.fault)});
    testsupport::ScopedCapture capture(-1);
    if (c.faultAtRollBack != nullptr) {
      capture->OnMessage("Failed to send export command to NFS server..",
                         [&] { store.SetFault({c.faultAtRollBack, ScopeOf(c.faultAtRollBack)}); });
    }
    const int result = CallEntry(Entry(c.op), {&failing, &bystander});
    store.ClearFaults("");

    ExpectRecord(store, failing, "sales", kSales, kServerA, c);
    // A fault of the management database reaches every share; any other is
    // confined to its subject, and the other record works as ever.
    const bool everyShare = c.fault == std::string(kFaultStoredProcedure);
    const bool bystanderMapped = everyShare ? MappedBefore(c.op) : MappedAfterSuccess(c.op);
    Case expected = {c.op, "", SuccessStatus(c.op), 0, "", bystanderMapped, bystanderMapped};
    if (everyShare) {
      expected = {c.op, "", c.status, c.error, c.text, bystanderMapped, bystanderMapped};
    }
    ExpectRecord(store, bystander, "eng", kEng, kServerB, expected);

    const int succeeded =
        (failing.status == SuccessStatus(c.op)) + (bystander.status == SuccessStatus(c.op));
    EXPECT_EQ(result, c.op == Op::kIsMapped || succeeded == 2 ? RESULT_SUCCESS
                      : succeeded == 1                          ? RESULT_PARTIAL
                                                                : RESULT_FAILURE);

    // The first extraction that gets past the share lookup takes the job's
    // copy id, unless the information store refuses; a new view records it.
    const bool copyIdKept = everyShare || c.fault == std::string(kFaultClientHostName) ||
                            c.fault == std::string(kFaultInformationStore);
    uint64_t copyId = 0;
    EXPECT_EQ(store.GetNumber(formats::kCopyIdSection, kCopyIdKey, copyId), copyIdKept);
    if (c.op == Op::kMap && c.listed) {
      EXPECT_EQ(testsupport::ListedValues(store, kSales, formats::kCopyPrecedenceTag),
                std::vector<std::string>{copyIdKept ? "0" : std::to_string(kCopyId)});
    }
  }

  snaphost::Plugin plugin_{ZRSO_PLUGIN_PATH};
};

TEST_F(FaultMatrix, EachFailingServiceUnderEachEntryPoint) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(Name(c.op)) + " with fault [" + c.fault + "]" +
                 (c.faultAtRollBack != nullptr ? " and [" + std::string(c.faultAtRollBack) + "]"
                                               : ""));
    RunCase(c);
  }
}

}  // namespace
