// A host that misuses the metadata buffer cannot harm the extraction. What
// the extraction derives, logs and writes is in tests/transcripts.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "SnapCodes.h"
#include "SnapDetails.h"
#include "support/Builders.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

constexpr char kTime[] = "1765000000";

// One that writes a length back into the capacity can neither shrink the
// next read nor make it overrun the buffer; one that writes no terminator,
// or fills the whole buffer, still gives terminated text.
TEST(SnapDetails, AHostThatMisusesTheBufferCannotHarmTheReads) {
  testsupport::TempPlatform platform;
  platform.AddNfsServer("nfs01", "nfs-a.example.test");
  platform.store().AddShare({"share1", "nfs01", 42});
  struct Host {
    std::optional<int16_t> writtenBack;
    bool unterminated;
    bool fillWholeBuffer;
  };
  for (const Host& host : {Host{0, false, false}, Host{-1, false, false}, Host{32767, false, false},
                           Host{std::nullopt, true, false}, Host{std::nullopt, false, true}}) {
    testsupport::FakeSnapInfo record;
    record.sourceDevice = testsupport::HostDescriptor("/share1", "nfs-a.example.test");
    record.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kTime;
    record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "42";
    record.capacityWrittenBack = host.writtenBack;
    record.unterminated = host.unterminated;
    record.fillWholeBuffer = host.fillWholeBuffer;
    std::string share, mount, client, hostName, time, copy;
    int id = 0;
    ASSERT_EQ(ExtractSnapDetails(&record, share, mount, client, hostName, id, time, copy),
              ZRSO::RESULT_SUCCESS);
    EXPECT_EQ(record.capacitiesSeen, (std::vector<int16_t>{1023, 1023}));
    EXPECT_EQ(time, host.fillWholeBuffer ? std::string(1023, 'x') : kTime);
  }
}

}  // namespace
