// The whole life of a snapshot through snaphost, the program a person runs:
// snap, map, check, unmap, check, each in its own process, on each store.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "RecordCatalogue.h"
#include "SnapCodes.h"
#include "support/EndToEnd.h"
#include "support/SnaphostProcess.h"
#include "support/EachStore.h"

namespace {

class MappingLifecycle : public testsupport::OnEachStore {
 protected:
  testsupport::SnaphostRun Run(const std::vector<std::string>& args) {
    return testsupport::RunSnaphostOn(platform_, args);
  }
  int Snaphost(const std::vector<std::string>& args) { return Run(args).exitCode; }
  std::vector<snaphost::SnapRecord> Records() {
    return snaphost::RecordCatalogue(platform_.folder() + "/records.db").List();
  }
  std::string ViewList() { return platform_.store().ReadViewList(1001).text; }
  size_t ExportCount() { return platform_.store().ListExports().size(); }
};

TEST_P(MappingLifecycle, SnapMapCheckUnmapCheck) {
  ASSERT_EQ(Snaphost({"server", "add", "nas1.test"}), 0);
  ASSERT_EQ(Snaphost({"client", "add", "nas1", "nas1.test"}), 0);
  ASSERT_EQ(Snaphost({"share", "add", "sales", "nas1", "1001"}), 0);
  ASSERT_EQ(Snaphost({"snap", "--share", "/sales", "--server", "nas1.test", "--count", "2"}), 0);

  EXPECT_EQ(Snaphost({"map", "--share", "/sales"}), 0);
  std::vector<snaphost::SnapRecord> records = Records();
  ASSERT_EQ(records.size(), 2u);
  const std::string mountPath = testsupport::MountPath(records[0], "sales");
  EXPECT_EQ(records[0].status, ZRSO::STATUS_MAPPED);
  EXPECT_EQ(records[0].snapDevice, formats::NfsDeviceDescriptor(mountPath, "nas1.test"));
  EXPECT_EQ(testsupport::ListedValues(platform_.store(), 1001),
            (std::vector<std::string>{mountPath, testsupport::MountPath(records[1], "sales")}));
  EXPECT_EQ(ExportCount(), 2u);

  const std::string mappedList = ViewList();
  EXPECT_EQ(Snaphost({"map", records[0].id}), 0);  // mapped twice: nothing new
  EXPECT_EQ(ViewList(), mappedList);

  EXPECT_EQ(Snaphost({"is-mapped", "--share", "/sales"}), 0);
  EXPECT_EQ(Records()[0].status, ZRSO::STATUS_VIEW_EXISTS);

  EXPECT_EQ(Snaphost({"unmap", records[0].id}), 0);
  EXPECT_EQ(Records()[0].status, ZRSO::STATUS_UNMAPPED);
  EXPECT_EQ(ViewList().find(mountPath), std::string::npos);
  EXPECT_EQ(ExportCount(), 1u);

  EXPECT_EQ(Snaphost({"is-mapped", records[0].id, records[1].id}), 0);
  EXPECT_EQ(Records()[0].status, ZRSO::STATUS_UNMAPPED);
  EXPECT_EQ(Records()[1].status, ZRSO::STATUS_VIEW_EXISTS);

  // Each operation is in the record's history with what it left there.
  std::string shown = Run({"show", records[0].id, "--json"}).out;
  std::regex event("\"operation\":\"([a-z-]+)\",\"status\":([0-9]+)");
  std::string history;
  for (std::sregex_iterator it(shown.begin(), shown.end(), event), end; it != end; ++it) {
    history += (*it)[1].str() + " " + (*it)[2].str() + ";";
  }
  EXPECT_EQ(history, "snap 5;map 12;map 12;is-mapped 9;unmap 14;is-mapped 14;");
}

INSTANTIATE_ON_EACH_STORE(MappingLifecycle);

}  // namespace
