// Every platform service the plug-in depends on, under each working entry
// point of the built plug-in, on each store: made to fail with the
// platform's injected fault, and made to throw out of the call. Each run is a batch of two
// records on a fresh platform: first one of another share on another server
// that the fault does not reach, then one of the share whose service fails.
// Afterwards each record carries the status and error of its step, and each
// share's view list and exports hold exactly what those steps left behind.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppMgr.h"
#include "CopyIdKey.h"
#include "SnapCodes.h"
#include "admin/InjectedFaults.h"
#include "support/CapturingLogWriter.h"
#include "support/EachStore.h"
#include "support/EndToEnd.h"

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

// The record of the failing share afterwards.
struct Outcome {
  int status;
  int error;
  const char* text;
  bool listed;    // its view is in the share's list
  bool exported;  // and exported by its server
};

// When the service throws instead: whether the step of the failing record
// reaches it, and then what is listed and exported.
struct Thrown {
  bool reached;
  bool listed;
  bool exported;
};

struct Case {
  Op op;
  const char* fault;  // "" for none
  Outcome failed;
  Thrown thrown;
  // Set as well once the roll-back of a refused export begins.
  const char* faultAtRollBack = nullptr;
};

constexpr Thrown kUnreached = {false, false, false};
constexpr Thrown kNothingChanged = {true, false, false};
constexpr Thrown kStillMapped = {true, true, true};

// Before the operation a record to snap is new, one to map is snapped, and
// one to check or unmap is mapped; the fault is set only then.
const Case kCases[] = {
    {Op::kSnap, "", {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped, "", {STATUS_VIEW_EXISTS, 0, "", true, true}, kUnreached},
    {Op::kMap, "", {STATUS_MAPPED, 0, "", true, true}, kUnreached},
    {Op::kUnmap, "", {STATUS_UNMAPPED, 0, "", false, false}, kUnreached},

    // The management database fails every share.
    {Op::kSnap,
     kFaultStoredProcedure,
     {STATUS_SNAP_FAILED, ERROR_SHARE_LIST, kNoShareList, false, false},
     kNothingChanged},
    {Op::kIsMapped,
     kFaultStoredProcedure,
     {STATUS_MAPPED, ERROR_SHARE_LIST, kNoShareList, true, true},
     kStillMapped},
    {Op::kMap,
     kFaultStoredProcedure,
     {STATUS_MAP_FAILED, ERROR_SHARE_LIST, kNoShareList, false, false},
     kNothingChanged},
    {Op::kUnmap,
     kFaultStoredProcedure,
     {STATUS_UNMAP_FAILED, ERROR_SHARE_LIST, kNoShareList, true, true},
     kStillMapped},

    // The server's client name no longer gives its host, so the share's
    // entry matches no server.
    {Op::kSnap,
     kFaultClientHostName,
     {STATUS_SNAP_FAILED, ERROR_SHARE_NOT_FOUND, kNotFound, false, false},
     kNothingChanged},
    {Op::kIsMapped,
     kFaultClientHostName,
     {STATUS_MAPPED, ERROR_SHARE_NOT_FOUND, kNotFound, true, true},
     kStillMapped},
    {Op::kMap,
     kFaultClientHostName,
     {STATUS_MAP_FAILED, ERROR_SHARE_NOT_FOUND, kNotFound, false, false},
     kNothingChanged},
    {Op::kUnmap,
     kFaultClientHostName,
     {STATUS_UNMAP_FAILED, ERROR_SHARE_NOT_FOUND, kNotFound, true, true},
     kStillMapped},

    // Not a record failure: the job's copy id is simply not found.
    {Op::kSnap, kFaultInformationStore, {STATUS_SNAPPED, 0, "", false, false}, kNothingChanged},
    {Op::kIsMapped, kFaultInformationStore, {STATUS_VIEW_EXISTS, 0, "", true, true}, kStillMapped},
    {Op::kMap, kFaultInformationStore, {STATUS_MAPPED, 0, "", true, true}, kNothingChanged},
    {Op::kUnmap, kFaultInformationStore, {STATUS_UNMAPPED, 0, "", false, false}, kStillMapped},

    // Asked for before each list read of a check or a deletion; its answer
    // is not used.
    {Op::kSnap, kFaultSubclientServers, {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped, kFaultSubclientServers, {STATUS_VIEW_EXISTS, 0, "", true, true}, kStillMapped},
    {Op::kMap, kFaultSubclientServers, {STATUS_MAPPED, 0, "", true, true}, kUnreached},
    {Op::kUnmap, kFaultSubclientServers, {STATUS_UNMAPPED, 0, "", false, false}, kStillMapped},

    {Op::kSnap, kFaultViewListRead, {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped,
     kFaultViewListRead,
     {STATUS_MAPPED, ERROR_VIEW_LIST_READ, kUnreadable, true, true},
     kStillMapped},
    {Op::kMap,
     kFaultViewListRead,
     {STATUS_MAP_FAILED, ERROR_VIEW_LIST_READ, kUnreadable, false, false},
     kNothingChanged},
    {Op::kUnmap,
     kFaultViewListRead,
     {STATUS_UNMAP_FAILED, ERROR_VIEW_LIST_READ, kUnreadable, true, true},
     kStillMapped},

    // An unmap withdraws the export before it writes the list: the view
    // stays listed, no longer exported.
    {Op::kSnap, kFaultViewListWrite, {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped, kFaultViewListWrite, {STATUS_VIEW_EXISTS, 0, "", true, true}, kUnreached},
    {Op::kMap,
     kFaultViewListWrite,
     {STATUS_MAP_FAILED, ERROR_VIEW_LIST_WRITE, kUnwritable, false, false},
     kNothingChanged},
    {Op::kUnmap,
     kFaultViewListWrite,
     {STATUS_UNMAP_FAILED, ERROR_VIEW_LIST_WRITE, kUnwritable, true, false},
     {true, true, false}},

    // A map rolls its view back, unless the service throws; an unmap drops
    // the view whose withdrawal failed, and its export stays, unreported.
    {Op::kSnap, kFaultServerStart, {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped, kFaultServerStart, {STATUS_VIEW_EXISTS, 0, "", true, true}, kUnreached},
    {Op::kMap,
     kFaultServerStart,
     {STATUS_MAP_FAILED, ERROR_EXPORT_COMMAND, kNotExported, false, false},
     {true, true, false}},
    {Op::kUnmap, kFaultServerStart, {STATUS_UNMAPPED, 0, "", false, true}, kStillMapped},

    {Op::kSnap, kFaultExportCommand, {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped, kFaultExportCommand, {STATUS_VIEW_EXISTS, 0, "", true, true}, kUnreached},
    {Op::kMap,
     kFaultExportCommand,
     {STATUS_MAP_FAILED, ERROR_EXPORT_COMMAND, kNotExported, false, false},
     {true, true, false}},
    {Op::kUnmap, kFaultExportCommand, {STATUS_UNMAPPED, 0, "", false, true}, kStillMapped},
    // The roll-back cannot write the list: the view stays, unexported and
    // unreported.
    {Op::kMap,
     kFaultExportCommand,
     {STATUS_MAP_FAILED, ERROR_EXPORT_COMMAND, kNotExported, true, false},
     kUnreached,
     kFaultViewListWrite},

    // Only a map asks for the local host name, once, before any record:
    // without it no record is touched.
    {Op::kSnap, kFaultLocalHostName, {STATUS_SNAPPED, 0, "", false, false}, kUnreached},
    {Op::kIsMapped, kFaultLocalHostName, {STATUS_VIEW_EXISTS, 0, "", true, true}, kUnreached},
    {Op::kMap, kFaultLocalHostName, {STATUS_SNAPPED, 0, "", false, false}, kNothingChanged},
    {Op::kUnmap, kFaultLocalHostName, {STATUS_UNMAPPED, 0, "", false, false}, kUnreached},
};

// The one subject of the failing share that each fault is scoped to.
std::string ScopeOf(const std::string& fault) {
  if (fault == kFaultStoredProcedure) return std::to_string(SP_GET_NFS_SHARES);
  if (fault == kFaultClientHostName) return "nfs-a";
  if (fault == kFaultServerStart) return kServerA;
  if (fault == kFaultInformationStore) return kCopyIdKey;
  if (fault == kFaultLocalHostName) return "";
  return std::to_string(kSales);
}

// The fault fails every record, not only the failing share's: the share
// list is every share's, and without the local host name a map touches none.
bool EveryRecord(const Case& c) {
  return c.fault == std::string(kFaultStoredProcedure) ||
         (c.fault == std::string(kFaultLocalHostName) && c.op == Op::kMap);
}

int SuccessStatus(Op op) {
  const int kStatus[] = {STATUS_SNAPPED, STATUS_VIEW_EXISTS, STATUS_MAPPED, STATUS_UNMAPPED};
  return kStatus[static_cast<int>(op)];
}
bool MappedBefore(Op op) { return op == Op::kIsMapped || op == Op::kUnmap; }
bool MappedAfterSuccess(Op op) { return op == Op::kIsMapped || op == Op::kMap; }
Outcome Succeeded(Op op) {
  return {SuccessStatus(op), 0, "", MappedAfterSuccess(op), MappedAfterSuccess(op)};
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<testsupport::StoreKind, Case>> {
 protected:
  void SetUp() override {
    if (!platform_.missing().empty()) GTEST_SKIP() << platform_.missing();
  }

  static const Case& TheCase() { return std::get<1>(GetParam()); }

  snaphost::BatchEntry Entry(Op op) const {
    const snaphost::BatchEntry kEntries[] = {plugin_.snapDevices, plugin_.isMapped,
                                             plugin_.mapSnaps, plugin_.unmapSnaps};
    return kEntries[static_cast<int>(op)];
  }

  // The records of both shares as the operation finds them, on a fresh
  // platform.
  void Arrange(Op op) {
    Store& store = platform_.store();
    platform_.AddNfsServer("nfs-a", kServerA);
    platform_.AddNfsServer("nfs-b", kServerB);
    store.AddShare({"sales", "nfs-a", kSales});
    store.AddShare({"eng", "nfs-b", kEng});
    failing_ = testsupport::ShareRecord("r", 1, "sales", kServerA);
    failing_.jobId = kJob;
    bystander_ = testsupport::ShareRecord("b", 2, "eng", kServerB);
    if (op != Op::kSnap) {
      ASSERT_EQ(CallEntry(plugin_.snapDevices, {&bystander_, &failing_}), RESULT_SUCCESS);
    }
    if (MappedBefore(op)) {
      ASSERT_EQ(CallEntry(plugin_.mapSnaps, {&bystander_, &failing_}), RESULT_SUCCESS);
    }
    store.SetNumber(formats::kCopyIdSection, kCopyIdKey, kCopyId);
  }

  // The record's status and error, and whether its view is listed in the
  // subclient's list and exported by `server`.
  void ExpectRecord(const SnapRecord& record, const std::string& share, int64_t subclient,
                    const char* server, const Outcome& expected) {
    SCOPED_TRACE(share);
    Store& store = platform_.store();
    EXPECT_EQ(record.status, expected.status);
    EXPECT_EQ(record.errorCode, expected.error);
    EXPECT_EQ(record.errorText, expected.text);
    const std::string path = testsupport::MountPath(record, share);
    const std::vector<std::string> none;
    EXPECT_EQ(testsupport::ListedValues(store, subclient),
              expected.listed ? std::vector<std::string>{path} : none);
    EXPECT_EQ(testsupport::ExportedMountPaths(store, server),
              expected.exported ? std::vector<std::string>{path} : none);
  }

  // The first extraction that gets past the share lookup takes the job's
  // copy id, unless the information store refuses; a new view records it.
  void ExpectCopyId(const Case& c, const Outcome& failed) {
    const bool kept = EveryRecord(c) || c.fault == std::string(kFaultClientHostName) ||
                      c.fault == std::string(kFaultInformationStore);
    uint64_t copyId = 0;
    EXPECT_EQ(platform_.store().GetNumber(formats::kCopyIdSection, kCopyIdKey, copyId), kept);
    if (c.op == Op::kMap && failed.listed) {
      EXPECT_EQ(testsupport::ListedValues(platform_.store(), kSales, "CopyPrecedence"),
                std::vector<std::string>{kept ? "0" : std::to_string(kCopyId)});
    }
  }

  snaphost::Plugin plugin_{ZRSO_PLUGIN_PATH};
  testsupport::TempPlatform platform_{std::get<0>(GetParam())};
  SnapRecord failing_;
  SnapRecord bystander_;
};

TEST_P(FaultMatrix, TheServiceFails) {
  const Case& c = TheCase();
  Arrange(c.op);
  const SnapRecord before = failing_;
  Store& store = platform_.store();
  if (*c.fault != '\0') store.SetFault({c.fault, ScopeOf(c.fault)});
  testsupport::ScopedCapture capture(-1);
  if (c.faultAtRollBack != nullptr) {
    capture->OnMessage("Failed to send export command to NFS server..", [&] {
      store.SetFault({c.faultAtRollBack, ScopeOf(c.faultAtRollBack)});
    });
  }
  const int result = CallEntry(Entry(c.op), {&bystander_, &failing_});
  store.ClearFaults("");

  ExpectRecord(failing_, "sales", kSales, kServerA, c.failed);
  Outcome bystander = Succeeded(c.op);
  if (EveryRecord(c)) {
    bystander = {c.failed.status, c.failed.error, c.failed.text, MappedBefore(c.op),
                 MappedBefore(c.op)};
  }
  ExpectRecord(bystander_, "eng", kEng, kServerB, bystander);
  const int succeeded =
      (failing_.status == SuccessStatus(c.op)) + (bystander_.status == SuccessStatus(c.op));
  EXPECT_EQ(result, c.op == Op::kIsMapped || succeeded == 2 ? RESULT_SUCCESS
                    : succeeded == 1                        ? RESULT_PARTIAL
                                                            : RESULT_FAILURE);
  ExpectCopyId(c, c.failed);
  if (c.fault == std::string(kFaultLocalHostName) && c.op == Op::kMap) {
    ASSERT_EQ(capture->lines().size(), 2u);  // the platform's line, then the plug-in's
    EXPECT_EQ(capture->lines()[1].message,
              "Failed to get hostname [injected fault [local-host-name]]");
    EXPECT_EQ(capture->lines()[1].level, -1);
    EXPECT_EQ(failing_.metadata, before.metadata);
  }
}

// The entry point's guard catches what the platform throws: the batch
// fails, records handled before keep what they were given, the record at
// hand keeps its status and error, and the log says what happened.
class ThrowMatrix : public FaultMatrix {};

TEST_P(ThrowMatrix, TheServiceThrows) {
  const Case& c = TheCase();
  Arrange(c.op);
  const SnapRecord before = failing_;
  const SnapRecord bystanderBefore = bystander_;
  Store& store = platform_.store();
  const std::string scope = ScopeOf(c.fault);
  store.SetFault({kFaultThrow, c.fault + (scope.empty() ? "" : ":" + scope)});
  testsupport::ScopedCapture capture(-1);
  const int result = CallEntry(Entry(c.op), {&bystander_, &failing_});
  store.ClearFaults("");

  if (!c.thrown.reached) {
    ExpectRecord(failing_, "sales", kSales, kServerA, Succeeded(c.op));
    ExpectRecord(bystander_, "eng", kEng, kServerB, Succeeded(c.op));
    EXPECT_EQ(result, RESULT_SUCCESS);
    EXPECT_EQ(capture->CountContaining("Unexpected exception"), 0);
    return;
  }
  EXPECT_EQ(result, RESULT_FAILURE);
  ExpectRecord(failing_, "sales", kSales, kServerA,
               {before.status, before.errorCode, before.errorText.c_str(), c.thrown.listed,
                c.thrown.exported});
  const bool mapped = MappedBefore(c.op);
  ExpectRecord(
      bystander_, "eng", kEng, kServerB,
      EveryRecord(c) ? Outcome{bystanderBefore.status, 0, "", mapped, mapped} : Succeeded(c.op));
  ExpectCopyId(c, {0, 0, "", c.thrown.listed, c.thrown.exported});
  EXPECT_EQ(capture->CountContaining("Unexpected exception [injected fault [throw]"), 1);
}

// The cases with one service to make throw.
std::vector<Case> ThrowingCases() {
  std::vector<Case> cases;
  for (const Case& c : kCases) {
    if (*c.fault != '\0' && c.faultAtRollBack == nullptr) cases.push_back(c);
  }
  return cases;
}

std::string CaseName(const Case& c) {
  const char* kOps[] = {"snap", "isMapped", "map", "unmap"};
  std::string name = std::string(kOps[static_cast<int>(c.op)]) + "_" +
                     (*c.fault != '\0' ? c.fault : "none") +
                     (c.faultAtRollBack != nullptr ? "_atRollBack" : "");
  for (char& character : name) {
    if (character == '-') character = '_';
  }
  return name;
}

void PrintTo(const Case& c, std::ostream* out) { *out << CaseName(c); }

std::string TestName(const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
  return CaseName(std::get<1>(info.param));
}

// Every case on one store.
template <typename Cases>
auto OnStore(testsupport::StoreKind kind, const Cases& cases) {
  return ::testing::Combine(::testing::Values(kind), ::testing::ValuesIn(cases));
}

using testsupport::StoreKind;
INSTANTIATE_TEST_SUITE_P(SQLite, FaultMatrix, OnStore(StoreKind::kSqlite, kCases), TestName);
INSTANTIATE_TEST_SUITE_P(PostgreSQL, FaultMatrix, OnStore(StoreKind::kPostgres, kCases), TestName);
INSTANTIATE_TEST_SUITE_P(SQLite, ThrowMatrix, OnStore(StoreKind::kSqlite, ThrowingCases()),
                         TestName);
INSTANTIATE_TEST_SUITE_P(PostgreSQL, ThrowMatrix, OnStore(StoreKind::kPostgres, ThrowingCases()),
                         TestName);

}  // namespace
