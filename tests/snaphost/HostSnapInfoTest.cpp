// The host's record as the plug-in sees it, and its persistence between runs.
// What the plug-in reads and writes through it in a whole mapping is tested
// end to end (tests/endtoend).

#include "HostSnapInfo.h"

#include <gtest/gtest.h>

#include <cstring>

#include "DeviceDescriptorFormat.h"
#include "RecordCatalogue.h"
#include "SnapCodes.h"
#include "support/TempPlatform.h"

namespace {

using snaphost::HostSnapInfo;
using snaphost::SnapRecord;

TEST(DescriptorEscaping, SlashesGoOutAsBackslashSlash) {
  struct Case { const char* plain; const char* escaped; };
  for (const Case& c : {Case{"", ""}, Case{"{lunuuid:/s1/dir,targethostname:nas}",
                                            "{lunuuid:\\/s1\\/dir,targethostname:nas}"},
                        Case{"{lunuuid://x}", "{lunuuid:\\/\\/x}"}}) {
    EXPECT_EQ(formats::EscapeSlashes(c.plain), c.escaped);
    EXPECT_EQ(formats::UnescapeSlashes(c.escaped), c.plain);
  }
  EXPECT_EQ(formats::UnescapeSlashes("a\\b\\"), "a\\b\\");
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

TEST(HostSnapInfo, KnowsItsArrayAndOnlyTheJobIdValue) {
  SnapRecord record;
  record.arrayName = "nas1";
  HostSnapInfo info(record);
  EXPECT_EQ(info.findArray("nas1"), 0);
  EXPECT_EQ(info.findArray("nas2"), 1);

  int job = 0;
  EXPECT_EQ(info.getValue(ZRSO::GET_VALUE_CURRENT_JOB_ID, &job), 1);
  record.jobId = 77;
  EXPECT_EQ(info.getValue(ZRSO::GET_VALUE_CURRENT_JOB_ID, &job), 0);
  EXPECT_EQ(job, 77);
  EXPECT_EQ(info.getValue(13, &job), 1);
}

TEST(RecordCatalogue, ASavedRecordReplacesTheOneBefore) {
  testsupport::TempPlatform platform;
  std::string path = platform.folder() + "/records.db";
  SnapRecord record;
  {
    snaphost::RecordCatalogue catalogue(path);
    record.id = "3f1c7f4e-0000-4000-8000-000000000001";
    record.snapNumber = catalogue.NextSnapNumber();
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
  EXPECT_EQ(loaded.metadata, (std::map<int, std::string>{{146, "1700000000"}}));
  EXPECT_EQ(catalogue.List().size(), 1u);
}

}  // namespace
