// A host that misuses the metadata buffer cannot harm the extraction. What
// the extraction derives, logs and writes is in tests/transcripts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SnapCodes.h"
#include "SnapDetails.h"
#include "support/Builders.h"
#include "support/TempPlatform.h"
#include "support/FakeSnapInfo.h"

namespace {

constexpr char kTime[] = "1765000000";

// One that writes a length back into the capacity can neither shrink the
// next read nor make it overrun the buffer; one that fills the whole buffer
// without a terminator still gives terminated text.
TEST(SnapDetails, AHostThatMisusesTheBufferCannotHarmTheReads) {
  testsupport::TempPlatform platform;
  platform.AddNfsServer("nfs01", "nfs-a.example.test");
  platform.store().AddShare({"share1", "nfs01", 42});
  for (int16_t writtenBack : {0, -1, 32767, 1023}) {
    SCOPED_TRACE(writtenBack);
    testsupport::FakeSnapInfo record;
    record.sourceDevice = testsupport::HostDescriptor("/share1", "nfs-a.example.test");
    record.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kTime;
    record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "42";
    record.capacityWrittenBack = writtenBack;
    record.fillWholeBuffer = writtenBack == 1023;
    std::string share, mount, client, host, time, copy;
    int id = 0;
    ASSERT_EQ(ExtractSnapDetails(&record, share, mount, client, host, id, time, copy),
              ZRSO::RESULT_SUCCESS);
    EXPECT_EQ(record.capacitiesSeen, (std::vector<int16_t>{1023, 1023}));
    EXPECT_EQ(time, record.fillWholeBuffer ? std::string(1023, 'x') : kTime);
  }
}

}  // namespace
