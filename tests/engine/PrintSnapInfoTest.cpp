#include "PrintSnapInfo.h"

#include <gtest/gtest.h>

#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"

namespace {

// A host that writes nothing into the array buffer.
class SilentArrayInfo : public testsupport::FakeSnapInfo {
 public:
  void getArrayInfo(char*, int16_t&) override {}
};

TEST(PrintSnapInfo, LogsSixValuesInOrderAtDetailLevel) {
  testsupport::ScopedCapture capture(4);
  testsupport::FakeSnapInfo record;
  record.uuid = "u-1";
  record.arrayInfo = "array-7";
  record.hostIdentifier = "host-id";
  record.sourceDevice = "{lunuuid:\\/s1,targethostname:srv}";
  record.snapDevice = "{lunuuid:\\/s1-u-1_1}";
  record.mountHostName = "mounter";
  PrintSnapInfo(&record);

  std::vector<std::string> messages;
  for (const auto& line : capture->lines()) {
    EXPECT_EQ(line.level, 4);
    EXPECT_EQ(line.function, "void PrintSnapInfo(ZRSO::SnapInfo*)");
    messages.push_back(line.message);
  }
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "SnapUUID [u-1]", "ArrayInfo [array-7]", "HostIdentifier [host-id]",
                          "SourceDevice [{lunuuid:\\/s1,targethostname:srv}]",
                          "SnapDevice [{lunuuid:\\/s1-u-1_1}]", "MountHostName [mounter]"}));

  // Never stale stack memory for a value the host did not write.
  capture->clear();
  SilentArrayInfo silent;
  PrintSnapInfo(&silent);
  ASSERT_EQ(capture->lines().size(), 6u);
  EXPECT_EQ(capture->lines()[1].message, "ArrayInfo []");
}

TEST(PrintSnapInfo, NullRecordOrLowLevelWritesNothing) {
  testsupport::ScopedCapture detail(4);
  PrintSnapInfo(nullptr);
  EXPECT_TRUE(detail->lines().empty());

  testsupport::ScopedCapture quiet(3);
  testsupport::FakeSnapInfo record;
  PrintSnapInfo(&record);
  EXPECT_TRUE(quiet->lines().empty());
}

}  // namespace
