// The host's record as the plug-in sees it, and its persistence between runs.

#include "HostSnapInfo.h"

#include <gtest/gtest.h>

#include <cstring>

#include "RecordCatalogue.h"
#include "host/SnapCodes.h"
#include "support/TempPlatform.h"

namespace {

using snaphost::HostSnapInfo;
using snaphost::SnapRecord;

TEST(DescriptorEscaping, SlashesGoOutAsBackslashSlash) {
  struct Case { const char* plain; const char* escaped; };
  for (const Case& c : {Case{"", ""}, Case{"{lunuuid:/s1/dir,targethostname:nas}",
                                            "{lunuuid:\\/s1\\/dir,targethostname:nas}"},
                        Case{"{lunuuid://x}", "{lunuuid:\\/\\/x}"}}) {
    EXPECT_EQ(snaphost::EscapeDescriptor(c.plain), c.escaped);
    EXPECT_EQ(snaphost::UnescapeDescriptor(c.escaped), c.plain);
  }
  EXPECT_EQ(snaphost::UnescapeDescriptor("a\\b\\"), "a\\b\\");
}

TEST(HostSnapInfo, DescriptorsGoOutEscapedAndSnapDeviceIsKeptAsGiven) {
  SnapRecord record;
  record.sourceDevice = "{orutype:,type:nfs,lunuuid:/sales/q1,targethostname:nas1}";
  HostSnapInfo info(record);

  std::string text;
  ASSERT_TRUE(info.getSourceDevicev2(text));
  EXPECT_EQ(text, "{orutype:,type:nfs,lunuuid:\\/sales\\/q1,targethostname:nas1}");
  EXPECT_FALSE(info.getSnapDevice(text));
  EXPECT_EQ(text, "");

  info.setSnapDevice("{orutype:,type:nfs,lunuuid:/sales-U_3,targethostname:nas1}");
  EXPECT_EQ(record.snapDevice, "{orutype:,type:nfs,lunuuid:/sales-U_3,targethostname:nas1}");
  info.getSnapDevice(text);
  EXPECT_EQ(text, "{orutype:,type:nfs,lunuuid:\\/sales-U_3,targethostname:nas1}");

  SnapRecord bare;
  HostSnapInfo noSource(bare);
  EXPECT_FALSE(noSource.getSourceDevicev2(text));
  EXPECT_FALSE(noSource.getSnapUUID2(text));
}

TEST(HostSnapInfo, MetadataReadsKeepCapacityAndStayTerminated) {
  SnapRecord record;
  HostSnapInfo info(record);
  char buffer[16];
  std::memset(buffer, 'x', sizeof(buffer));
  int16_t capacity = 4;
  EXPECT_EQ(info.getMetadata(ZRSO::SM_MDT_NFS_SNAP_TIME, buffer, capacity), 1);

  EXPECT_EQ(info.setMetadata(ZRSO::SM_MDT_NFS_SNAP_TIME, "1700000000"), 0);
  EXPECT_EQ(info.getMetadata(ZRSO::SM_MDT_NFS_SNAP_TIME, buffer, capacity), 0);
  EXPECT_STREQ(buffer, "1700");
  EXPECT_EQ(capacity, 4);
  EXPECT_EQ(buffer[5], 'x');
}

TEST(HostSnapInfo, WritesLandInTheRecord) {
  SnapRecord record;
  record.arrayName = "nas1";
  HostSnapInfo info(record);
  info.setStatus(ZRSO::STATUS_MAPPED);
  info.setError(ZRSO::ERROR_EXPORT_COMMAND, "Failed to send export command to NFS server.");
  EXPECT_EQ(record.status, 12);
  EXPECT_EQ(record.errorCode, 61054);
  EXPECT_EQ(info.findArray("nas1"), 0);
  EXPECT_EQ(info.findArray("nas2"), 1);

  int job = 0;
  EXPECT_EQ(info.getValue(ZRSO::GET_VALUE_CURRENT_JOB_ID, &job), 1);
  record.jobId = 77;
  EXPECT_EQ(info.getValue(ZRSO::GET_VALUE_CURRENT_JOB_ID, &job), 0);
  EXPECT_EQ(job, 77);
  EXPECT_EQ(info.getValue(13, &job), 1);
}

TEST(RecordCatalogue, RecordsSurviveReopening) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/records.db";
  SnapRecord record;
  {
    snaphost::RecordCatalogue catalogue(path);
    EXPECT_EQ(catalogue.NextSnapNumber(), 1);
    record.id = "3f1c7f4e-0000-4000-8000-000000000001";
    record.snapNumber = catalogue.NextSnapNumber();
    record.sourceDevice = "{lunuuid:/s,targethostname:h}";
    record.jobId = 5;
    record.metadata[146] = "1700000000";
    record.metadata[147] = "12";
    catalogue.Save(record);

    record.status = 5;
    record.metadata.erase(147);
    catalogue.Save(record);
  }
  snaphost::RecordCatalogue catalogue(path);
  SnapRecord loaded;
  ASSERT_TRUE(catalogue.Find(record.id, loaded));
  EXPECT_EQ(loaded.status, 5);
  EXPECT_EQ(loaded.jobId, 5);
  EXPECT_EQ(loaded.metadata, (std::map<int, std::string>{{146, "1700000000"}}));
  EXPECT_EQ(catalogue.NextSnapNumber(), 2);
  EXPECT_FALSE(catalogue.Find("missing", loaded));
  EXPECT_EQ(catalogue.List().size(), 1u);
}

}  // namespace
