// zrso_snapDevices through the exported entry point, against the local
// platform.

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "engine/NfsObjectStoreEngine.h"
#include "host/SnapCodes.h"
#include "platform/ZrLib.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

using testsupport::FakeSnapInfo;
using testsupport::ScopedCapture;

constexpr char kFunction[] =
    "ZRSO::ResultCode zrso_snapDevices(ZRSO::SnapInfo**, int16_t, ZRSO::ZROSUtil*)";

enum class Kind { kSnaps, kFailsExtraction, kRefusesMetadata };

class SnapshotBatch : public testing::Test {
 protected:
  SnapshotBatch() {
    platform_.store().PutClient({"nfs01", "nfs01.example.test"});
    platform_.store().AddShare({"share1", "nfs01", 42});
  }

  FakeSnapInfo* Add(Kind kind) {
    auto record = std::make_unique<FakeSnapInfo>();
    record->sourceDevice =
        kind == Kind::kFailsExtraction
            ? "{lunuuid:\\/share9,targethostname:nfs01.example.test}"
            : "{orutype:,type:nfs,lunuuid:\\/share1,targethostname:nfs01.example.test}";
    record->refuseMetadata = kind == Kind::kRefusesMetadata;
    records_.push_back(std::move(record));
    batch_.push_back(records_.back().get());
    return records_.back().get();
  }

  ZRSO::ResultCode Snap() { return Snap(static_cast<int16_t>(batch_.size())); }
  ZRSO::ResultCode Snap(int16_t count) { return zrso_snapDevices(batch_.data(), count, nullptr); }

  testsupport::TempPlatform platform_;
  ScopedCapture log_{4};
  std::vector<std::unique_ptr<FakeSnapInfo>> records_;
  std::vector<ZRSO::SnapInfo*> batch_;
};

TEST_F(SnapshotBatch, StampsTheTimeOnARecordWhoseDetailsAreFound) {
  FakeSnapInfo* record = Add(Kind::kSnaps);
  record->errorCode = 61002;  // an earlier error is cleared
  record->errorText = "Cant get source device.";
  long before = static_cast<long>(std::time(nullptr));
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Snap());
  long after = static_cast<long>(std::time(nullptr));

  EXPECT_EQ(ZRSO::STATUS_SNAPPED, record->status);
  EXPECT_EQ(0, record->errorCode);
  EXPECT_EQ("", record->errorText);
  const std::string& stamped = record->metadata[ZRSO::SM_MDT_NFS_SNAP_TIME];
  EXPECT_TRUE(std::regex_match(stamped, std::regex("[1-9][0-9]*"))) << stamped;
  EXPECT_GE(std::stol(stamped), before);
  EXPECT_LE(std::stol(stamped), after);
  EXPECT_EQ("42", record->metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID]);
  EXPECT_EQ(1, log_->Count("Snap shot time [" + stamped + "]"));
}

TEST_F(SnapshotBatch, ARecordWhoseDetailsAreNotFoundGetsStatusSix) {
  FakeSnapInfo* record = Add(Kind::kFailsExtraction);
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Snap());
  EXPECT_EQ(ZRSO::STATUS_SNAP_FAILED, record->status);
  EXPECT_EQ(83006, record->errorCode);
  EXPECT_EQ("NFS Share not found in KT DB.", record->errorText);
  EXPECT_EQ(0u, record->metadata.count(ZRSO::SM_MDT_NFS_SNAP_TIME));
  EXPECT_EQ(0, log_->CountContaining("Snap shot time"));
}

TEST_F(SnapshotBatch, ARecordThatRefusesTheTimeKeepsItsStatus) {
  FakeSnapInfo* record = Add(Kind::kRefusesMetadata);
  record->status = 3;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Snap());
  EXPECT_EQ(3, record->status);
  EXPECT_EQ(ZRSO::ERROR_SET_SNAP_TIME, record->errorCode);
  EXPECT_EQ("Failed to set metadata SM_MDT_NFS_SNAP_TIME", record->errorText);
  ASSERT_EQ(1, log_->CountContaining("Failed to set metadata"));
  for (const auto& line : log_->lines()) {
    if (line.message.find("Failed to set metadata") != 0) continue;
    EXPECT_EQ(-1, line.level);
    EXPECT_EQ(kFunction, line.function);
    EXPECT_TRUE(std::regex_match(
        line.message,
        std::regex(R"(Failed to set metadata SM_MDT_NFS_SNAP_TIME to \[[1-9][0-9]*\]\.)")))
        << line.message;
  }
}

TEST_F(SnapshotBatch, EachKindOfRecordInOneBatch) {
  FakeSnapInfo* snaps = Add(Kind::kSnaps);
  FakeSnapInfo* fails = Add(Kind::kFailsExtraction);
  FakeSnapInfo* refuses = Add(Kind::kRefusesMetadata);
  EXPECT_EQ(ZRSO::RESULT_PARTIAL, Snap());
  EXPECT_EQ(ZRSO::STATUS_SNAPPED, snaps->status);
  EXPECT_EQ(ZRSO::STATUS_SNAP_FAILED, fails->status);
  EXPECT_FALSE(refuses->status.has_value());
  EXPECT_EQ(ZRSO::ERROR_SET_SNAP_TIME, refuses->errorCode);
}

struct FoldCase {
  const char* name;
  std::vector<Kind> kinds;
  ZRSO::ResultCode result;
};

void PrintTo(const FoldCase& c, std::ostream* os) { *os << c.name; }

class Folding : public SnapshotBatch, public testing::WithParamInterface<FoldCase> {};

TEST_P(Folding, CountsTheSuccessesAgainstTheCount) {
  for (Kind kind : GetParam().kinds) Add(kind);
  EXPECT_EQ(GetParam().result, Snap());
}

INSTANTIATE_TEST_SUITE_P(
    Batches, Folding,
    testing::ValuesIn(std::vector<FoldCase>{
        {"TwoOfTwo", {Kind::kSnaps, Kind::kSnaps}, ZRSO::RESULT_SUCCESS},
        {"OneOfTwo", {Kind::kSnaps, Kind::kFailsExtraction}, ZRSO::RESULT_PARTIAL},
        {"SecondOfTwo", {Kind::kRefusesMetadata, Kind::kSnaps}, ZRSO::RESULT_PARTIAL},
        {"NoneOfTwo", {Kind::kFailsExtraction, Kind::kRefusesMetadata}, ZRSO::RESULT_FAILURE},
        {"Empty", {}, ZRSO::RESULT_FAILURE},
    }),
    [](const testing::TestParamInfo<FoldCase>& info) { return info.param.name; });

TEST_F(SnapshotBatch, ANullEntryEndsTheWalkAndMakesTheResultPartial) {
  FakeSnapInfo* first = Add(Kind::kSnaps);
  batch_.push_back(nullptr);
  FakeSnapInfo* third = Add(Kind::kSnaps);
  EXPECT_EQ(ZRSO::RESULT_PARTIAL, Snap());
  EXPECT_EQ(ZRSO::STATUS_SNAPPED, first->status);
  EXPECT_FALSE(third->status.has_value());
  EXPECT_TRUE(third->capacitiesSeen.empty());
}

TEST_F(SnapshotBatch, ACountBelowTheArrayVisitsOnlyThatMany) {
  Add(Kind::kSnaps);
  FakeSnapInfo* second = Add(Kind::kSnaps);
  EXPECT_EQ(ZRSO::RESULT_SUCCESS, Snap(1));
  EXPECT_FALSE(second->status.has_value());
}

TEST_F(SnapshotBatch, ANegativeCountVisitsNothing) {
  FakeSnapInfo* record = Add(Kind::kSnaps);
  EXPECT_EQ(ZRSO::RESULT_FAILURE, Snap(-1));
  EXPECT_FALSE(record->status.has_value());
  EXPECT_EQ(1, log_->Count("count [-1]"));
}

TEST_F(SnapshotBatch, TheFirstRecordOfAJobTakesItsCopyId) {
  ZRPlatformInfo().setNumber("Ferrynode", "OBJSTORE_RESTORE_COPYID_7", 9);
  Add(Kind::kSnaps)->jobId = 7;
  Add(Kind::kSnaps)->jobId = 7;
  ASSERT_EQ(ZRSO::RESULT_SUCCESS, Snap());
  EXPECT_EQ(1, log_->Count("Copy ID [9]"));
  EXPECT_EQ(1, log_->Count("Copy ID not present."));
  uint64_t value = 0;
  EXPECT_EQ(0, ZRPlatformInfo().getNumber("Ferrynode", "OBJSTORE_RESTORE_COPYID_7", value));
}

TEST_F(SnapshotBatch, AFailedRecordDoesNotTakeTheCopyId) {
  ZRPlatformInfo().setNumber("Ferrynode", "OBJSTORE_RESTORE_COPYID_7", 9);
  Add(Kind::kFailsExtraction)->jobId = 7;
  ASSERT_EQ(ZRSO::RESULT_FAILURE, Snap());
  uint64_t value = 0;
  EXPECT_NE(0, ZRPlatformInfo().getNumber("Ferrynode", "OBJSTORE_RESTORE_COPYID_7", value));
}

}  // namespace
