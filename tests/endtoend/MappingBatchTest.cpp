// Mapping, the mapped check and unmapping through the built plug-in, loaded
// with dlopen as snaphost loads it, on host records and a temporary platform.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SnapCodes.h"
#include "support/CapturingLogWriter.h"
#include "support/EndToEnd.h"
#include "support/TempPlatform.h"

namespace {

using snaphost::SnapRecord;
using testsupport::CallEntry;
using testsupport::MountPath;

constexpr int64_t kSales = 1001;
constexpr int64_t kEng = 2002;

class MappingBatch : public ::testing::Test {
 protected:
  MappingBatch() {
    platform_.AddNfsServer("nas1", "nas1.test");
    platform_.AddNfsServer("nas2", "nas2.test");
    platform_.store().AddShare({"sales", "nas1", kSales});
    platform_.store().AddShare({"eng", "nas2", kEng});
    platform_.store().AddShare({"sa;les", "nas1", 3003});
  }

  SnapRecord Record(const std::string& share, const std::string& server) {
    ++made_;
    return testsupport::ShareRecord("uuid-" + std::to_string(made_), made_, share, server);
  }

  std::vector<std::string> ListedMountPaths(int64_t subclient) {
    return testsupport::ListedValues(platform_.store(), subclient);
  }
  std::vector<std::string> ExportedMountPaths(const std::string& host) {
    return testsupport::ExportedMountPaths(platform_.store(), host);
  }

  testsupport::TempPlatform platform_;
  snaphost::Plugin plugin_{ZRSO_PLUGIN_PATH};
  int made_ = 0;
};

TEST_F(MappingBatch, EachFailingStepIsReportedOnItsRecordAndTheBatchGoesOn) {
  SnapRecord good = Record("sales", "nas1.test");
  SnapRecord noSource = Record("sales", "nas1.test");
  SnapRecord neverSnapped = Record("sales", "nas1.test");
  SnapRecord noUuid = Record("sales", "nas1.test");
  SnapRecord unstorable = Record("sa;les", "nas1.test");
  SnapRecord afterNull = Record("sales", "nas1.test");
  ASSERT_EQ(CallEntry(plugin_.snapDevices, {&good, &noUuid, &unstorable}), ZRSO::RESULT_SUCCESS);
  noSource.sourceDevice.clear();
  noUuid.id.clear();

  int result = CallEntry(plugin_.mapSnaps,
                         {&good, &noSource, &neverSnapped, &noUuid, &unstorable, &afterNull}, {5});
  EXPECT_EQ(result, ZRSO::RESULT_PARTIAL);

  struct Expected { const SnapRecord* record; int status; int error; const char* text; };
  for (const Expected& e :
       {Expected{&good, 12, 0, ""},
        Expected{&noSource, 11, 61002, "Cant get source device."},
        Expected{&neverSnapped, 11, 83001, "Failed to Snapshot creation time."},
        Expected{&noUuid, 11, 61004, "getSnapUUID2() failed."},
        Expected{&unstorable, 11, 83004, "Failed to set PITview configuration for [sa;les]"},
        Expected{&afterNull, 0, 0, ""}}) {
    EXPECT_EQ(e.record->status, e.status) << e.record->id;
    EXPECT_EQ(e.record->errorCode, e.error) << e.record->id;
    EXPECT_EQ(e.record->errorText, e.text) << e.record->id;
  }
  EXPECT_EQ(good.snapDevice, formats::NfsDeviceDescriptor(MountPath(good, "sales"), "nas1.test"));
  EXPECT_EQ(ListedMountPaths(kSales), std::vector<std::string>{MountPath(good, "sales")});
  EXPECT_EQ(ExportedMountPaths("nas1.test"), std::vector<std::string>{MountPath(good, "sales")});
  EXPECT_TRUE(ListedMountPaths(3003).empty());
}

TEST_F(MappingBatch, RefusedExportRollsTheNewViewBack) {
  SnapRecord record = Record("eng", "nas2.test");
  ASSERT_EQ(CallEntry(plugin_.snapDevices, {&record}), ZRSO::RESULT_SUCCESS);
  platform_.AddNfsServer("nas2", "nas2.test", false);

  EXPECT_EQ(CallEntry(plugin_.mapSnaps, {&record}), ZRSO::RESULT_FAILURE);
  EXPECT_EQ(record.status, ZRSO::STATUS_MAP_FAILED);
  EXPECT_EQ(record.errorCode, ZRSO::ERROR_EXPORT_COMMAND);
  EXPECT_EQ(record.errorText, "Failed to send export command to NFS server.");
  EXPECT_EQ(record.snapDevice, "");
  EXPECT_TRUE(ListedMountPaths(kEng).empty());
  EXPECT_EQ(platform_.store().ReadViewList(kEng).text, "");
}

// A view that was listed before this mapping is not this mapping's to take
// back: its earlier export still stands.
TEST_F(MappingBatch, FailedRemapKeepsTheEarlierViewAndExport) {
  SnapRecord record = Record("sales", "nas1.test");
  ASSERT_EQ(CallEntry(plugin_.snapDevices, {&record}), ZRSO::RESULT_SUCCESS);
  ASSERT_EQ(CallEntry(plugin_.mapSnaps, {&record}), ZRSO::RESULT_SUCCESS);
  EXPECT_EQ(CallEntry(plugin_.mapSnaps, {&record}), ZRSO::RESULT_SUCCESS);  // mapped twice
  EXPECT_EQ(ListedMountPaths(kSales).size(), 1u);

  platform_.AddNfsServer("nas1", "nas1.test", false);
  EXPECT_EQ(CallEntry(plugin_.mapSnaps, {&record}), ZRSO::RESULT_FAILURE);
  EXPECT_EQ(record.status, ZRSO::STATUS_MAP_FAILED);
  EXPECT_EQ(record.errorCode, ZRSO::ERROR_EXPORT_COMMAND);
  EXPECT_EQ(ListedMountPaths(kSales), std::vector<std::string>{MountPath(record, "sales")});
  EXPECT_EQ(ExportedMountPaths("nas1.test"), std::vector<std::string>{MountPath(record, "sales")});
}

TEST_F(MappingBatch, UnmapTwiceAndUnmapNeverMappedBothSucceed) {
  testsupport::ScopedCapture capture(1);
  SnapRecord mapped = Record("sales", "nas1.test");
  SnapRecord neverMapped = Record("sales", "nas1.test");
  ASSERT_EQ(CallEntry(plugin_.snapDevices, {&mapped, &neverMapped}), ZRSO::RESULT_SUCCESS);
  ASSERT_EQ(CallEntry(plugin_.mapSnaps, {&mapped}), ZRSO::RESULT_SUCCESS);

  EXPECT_EQ(CallEntry(plugin_.unmapSnaps, {&mapped, &neverMapped}), ZRSO::RESULT_SUCCESS);
  EXPECT_EQ(mapped.status, ZRSO::STATUS_UNMAPPED);
  EXPECT_EQ(neverMapped.status, ZRSO::STATUS_UNMAPPED);
  EXPECT_EQ(capture->Count("Successfully delete PITView []"), 1);
  EXPECT_TRUE(ListedMountPaths(kSales).empty());
  EXPECT_TRUE(ExportedMountPaths("nas1.test").empty());

  EXPECT_EQ(CallEntry(plugin_.unmapSnaps, {&mapped}), ZRSO::RESULT_SUCCESS);
  EXPECT_EQ(mapped.status, ZRSO::STATUS_UNMAPPED);
  // The snap device still names the old view; the check finds none and
  // leaves the record as it was.
  EXPECT_FALSE(mapped.snapDevice.empty());
  EXPECT_EQ(CallEntry(plugin_.isMapped, {&mapped}), ZRSO::RESULT_SUCCESS);
  EXPECT_EQ(mapped.status, ZRSO::STATUS_UNMAPPED);
}

TEST_F(MappingBatch, UnmapBatchWithOneUnwritableListIsPartial) {
  testsupport::ScopedCapture capture(1);
  SnapRecord sales = Record("sales", "nas1.test");
  SnapRecord eng = Record("eng", "nas2.test");
  ASSERT_EQ(CallEntry(plugin_.snapDevices, {&sales, &eng}), ZRSO::RESULT_SUCCESS);
  ASSERT_EQ(CallEntry(plugin_.mapSnaps, {&sales, &eng}), ZRSO::RESULT_SUCCESS);
  ASSERT_EQ(CallEntry(plugin_.isMapped, {&sales, &eng}), ZRSO::RESULT_SUCCESS);
  EXPECT_EQ(sales.status, ZRSO::STATUS_VIEW_EXISTS);
  EXPECT_EQ(eng.status, ZRSO::STATUS_VIEW_EXISTS);

  // Another host changes eng's list while this unmap withdraws its export.
  const std::string theirs = platform_.store().ReadViewList(kEng).text + "<SnapStart>x</SnapStart>;";
  capture->OnMessage("Launched Vesk server [nas2] successfully",
                     [&] { platform_.PutViewList(kEng, theirs); });

  EXPECT_EQ(CallEntry(plugin_.unmapSnaps, {&sales, &eng}), ZRSO::RESULT_PARTIAL);
  EXPECT_EQ(sales.status, ZRSO::STATUS_UNMAPPED);
  EXPECT_EQ(eng.status, ZRSO::STATUS_UNMAP_FAILED);
  EXPECT_EQ(eng.errorCode, ZRSO::ERROR_VIEW_LIST_WRITE);
  EXPECT_EQ(eng.errorText, "Failed to set PITview configuration for [eng]");
  EXPECT_EQ(platform_.store().ReadViewList(kEng).text, theirs);  // the other change is kept
}

}  // namespace
