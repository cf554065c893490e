// zrso_snapDevices through the exported entry point, against the local
// platform: the batch walk, the folded result and each record's outcome.

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "EntryPoints.h"
#include "SnapCodes.h"
#include "support/Builders.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

using testsupport::FakeSnapInfo;

constexpr char kFunction[] =
    "ZRSO::ResultCode zrso_snapDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";

class SnapshotBatch : public testing::Test {
 protected:
  SnapshotBatch() {
    platform_.store().PutClient({"nfs01", "nfs01.example.test"});
    platform_.store().AddShare({"share1", "nfs01", 42});
  }

  // One record per letter: 'S' snaps, 'F' fails extraction, 'R' refuses the
  // time; '0' is a null entry.
  std::vector<ZRSO::SnapInfo*> Batch(const std::string& kinds) {
    std::vector<ZRSO::SnapInfo*> batch;
    for (char kind : kinds) {
      if (kind == '0') {
        batch.push_back(nullptr);
        continue;
      }
      kinds_ += kind;
      records_.push_back(std::make_unique<FakeSnapInfo>());
      FakeSnapInfo& record = *records_.back();
      record.sourceDevice =
          testsupport::HostDescriptor(kind == 'F' ? "/share9" : "/share1", "nfs01.example.test");
      record.refuseMetadata = kind == 'R';
      batch.push_back(&record);
    }
    return batch;
  }

  testsupport::TempPlatform platform_;
  testsupport::ScopedCapture log_{4};
  std::vector<std::unique_ptr<FakeSnapInfo>> records_;
  std::string kinds_;  // of records_
};

// The walk stops at the count or the first null entry; the successes fold
// against the count the host passed.
TEST_F(SnapshotBatch, WalksUpToTheCountOrFirstNullAndFoldsAgainstTheCount) {
  struct Case {
    const char* kinds;
    int16_t count;
    ZRSO::ResultCode result;
    const char* visited;  // per non-null record, in order
  };
  for (const Case& c : {Case{"SS", 2, 0, "11"}, Case{"SF", 2, 2, "11"}, Case{"RS", 2, 2, "11"},
                        Case{"FR", 2, 1, "11"}, Case{"", 0, 1, ""}, Case{"SS", 0, 1, "00"},
                        Case{"SS", -1, 1, "00"}, Case{"SS", 1, 0, "10"}, Case{"S0S", 3, 2, "10"},
                        Case{"0S", 2, 1, "0"}}) {
    SCOPED_TRACE(std::string(c.kinds) + " count " + std::to_string(c.count));
    records_.clear();
    kinds_.clear();
    log_->clear();
    std::vector<ZRSO::SnapInfo*> batch = Batch(c.kinds);
    EXPECT_EQ(c.result, zrso_snapDevices(batch.data(), c.count, nullptr));
    EXPECT_EQ(1, log_->Count("count [" + std::to_string(c.count) + "]"));
    for (size_t i = 0; i < records_.size(); ++i) {
      const FakeSnapInfo& record = *records_[i];
      if (c.visited[i] == '0') {
        EXPECT_TRUE(record.capacitiesSeen.empty()) << i;
        EXPECT_FALSE(record.status || record.errorCode) << i;
      } else if (kinds_[i] == 'S') {
        EXPECT_EQ(ZRSO::STATUS_SNAPPED, record.status) << i;
      } else if (kinds_[i] == 'F') {
        EXPECT_EQ(ZRSO::STATUS_SNAP_FAILED, record.status) << i;
        EXPECT_EQ(0u, record.metadata.count(ZRSO::SM_MDT_NFS_SNAP_TIME)) << i;
      } else {
        EXPECT_FALSE(record.status.has_value()) << i;
        EXPECT_EQ(ZRSO::ERROR_SET_SNAP_TIME, record.errorCode) << i;
      }
    }
  }
}

TEST_F(SnapshotBatch, StampsTheTimeOrReportsThatItCannotBeStored) {
  std::vector<ZRSO::SnapInfo*> batch = Batch("SR");
  FakeSnapInfo& snaps = *records_[0];
  FakeSnapInfo& refuses = *records_[1];
  snaps.errorCode = 61002;  // an earlier error is cleared
  snaps.errorText = "Cant get source device.";
  refuses.status = 3;
  long before = static_cast<long>(std::time(nullptr));
  ASSERT_EQ(ZRSO::RESULT_PARTIAL, zrso_snapDevices(batch.data(), 2, nullptr));
  long after = static_cast<long>(std::time(nullptr));

  EXPECT_EQ(ZRSO::STATUS_SNAPPED, snaps.status);
  EXPECT_EQ(0, snaps.errorCode);
  EXPECT_EQ("", snaps.errorText);
  const std::string& stamped = snaps.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME];
  EXPECT_TRUE(std::regex_match(stamped, std::regex("[1-9][0-9]*"))) << stamped;
  EXPECT_GE(std::stol(stamped), before);
  EXPECT_LE(std::stol(stamped), after);
  EXPECT_EQ("42", snaps.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID]);

  EXPECT_EQ(3, refuses.status);
  EXPECT_EQ(ZRSO::ERROR_SET_SNAP_TIME, refuses.errorCode);
  EXPECT_EQ("Failed to set metadata SM_MDT_NFS_SNAP_TIME", refuses.errorText);

  std::vector<std::pair<int, std::string>> own;
  for (const auto& line : log_->lines()) {
    if (line.function == kFunction) own.emplace_back(line.level, line.message);
  }
  ASSERT_EQ(4u, own.size());
  EXPECT_EQ(std::make_pair(4, std::string("count [2]")), own[0]);
  EXPECT_EQ(std::make_pair(4, "Snap shot time [" + stamped + "]"), own[1]);
  EXPECT_EQ(4, own[2].first);
  EXPECT_EQ(-1, own[3].first);
  EXPECT_TRUE(std::regex_match(
      own[3].second,
      std::regex(R"(Failed to set metadata SM_MDT_NFS_SNAP_TIME to \[[1-9][0-9]*\]\.)")))
      << own[3].second;
}

}  // namespace
