// What an interrupted or failed operation leaves behind, and snaphost doctor
// finding and mending it, each snaphost command run as its own process.
// The share /sales (subclient 1001) holds the records under test; /eng (2002)
// holds mapped records that nothing here may change. ZRSO_CRASH_POINTS sets
// a longer crash run (figures in CRASH.md).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CatalogueLock.h"
#include "RecordCatalogue.h"
#include "SnapCodes.h"
#include "support/EndToEnd.h"
#include "support/SnaphostProcess.h"
#include "support/TempPlatform.h"

namespace {

using snaphost::SnapRecord;
using Clock = std::chrono::steady_clock;
constexpr uint64_t kSales = 1001;
constexpr uint64_t kEng = 2002;
constexpr int kDefaultCrashPoints = 60;

// A platform home with /sales and /eng configured, two records of /eng
// mapped, and `salesCount` records of /sales snapped.
struct Home {
  explicit Home(const std::string& salesCount) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"server", "add", "nas1.test"},
             {"client", "add", "nas1", "nas1.test"},
             {"share", "add", "sales", "nas1", "1001"},
             {"share", "add", "eng", "nas1", "2002"},
             {"snap", "--share", "/eng", "--server", "nas1.test", "--count", "2"},
             {"map", "--share", "/eng"},
             {"snap", "--share", "/sales", "--server", "nas1.test", "--count", salesCount}}) {
      EXPECT_EQ(Snaphost(args).exitCode, 0) << args[0];
    }
  }
  testsupport::SnaphostRun Snaphost(const std::vector<std::string>& args) {
    return testsupport::RunSnaphost(platform.folder(), args);
  }
  std::vector<SnapRecord> SalesRecords() {
    std::vector<SnapRecord> records;
    for (SnapRecord& record : snaphost::RecordCatalogue(catalogue()).List()) {
      if (record.sourceDevice.find("/sales,") != std::string::npos) records.push_back(record);
    }
    return records;
  }
  std::string catalogue() const { return platform.folder() + "/records.db"; }
  // The view list and the exports of a subclient, as one text.
  std::string PlatformOf(uint64_t subclient) {
    std::string text = platform.store().ReadViewList(subclient).text;
    for (const localplatform::ExportRow& row : platform.store().ListExports()) {
      if (row.subclientId == subclient) text += "\n" + row.hostName + " " + row.mountPath;
    }
    return text;
  }
  // The exit code of doctor --json `more`... and the kinds it reports, in order.
  std::pair<int, std::vector<std::string>> Doctor(const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {"doctor", "--json"};
    args.insert(args.end(), more.begin(), more.end());
    testsupport::SnaphostRun run = Snaphost(args);
    std::vector<std::string> kinds;
    std::regex kind("\"kind\":\"([a-z-]+)\"");
    for (std::sregex_iterator it(run.out.begin(), run.out.end(), kind), end; it != end; ++it) {
      kinds.push_back((*it)[1]);
    }
    return {run.exitCode, kinds};
  }
  // Runs `step` with the export commands of /sales failing.
  void WithExportFault(const std::function<void()>& step) {
    Snaphost({"fault", "set", "export-command", "--scope", "1001"});
    step();
    Snaphost({"fault", "clear"});
  }
  // Runs `args` on a copy of the catalogue that is then thrown away: the
  // platform changes as the command goes, the records stay as they were.
  void Forgetting(const std::vector<std::string>& args) {
    std::filesystem::copy_file(catalogue(), catalogue() + ".kept");
    Snaphost(args);
    std::filesystem::rename(catalogue() + ".kept", catalogue());
  }

  testsupport::TempPlatform platform;
};

// Each case starts from two mapped records of /sales and puts the first
// one's mapping, or the platform, into one state.
struct FindingCase {
  const char* name;
  std::function<void(Home&, const std::string& id, const std::string& mountPath)> arrange;
  std::vector<std::string> kinds;
  int statusAfterRepair;  // of the first record
  bool leftAlone;         // no record explains the findings: repair changes nothing
  // What no record of the catalogue names, listed only with --others.
  std::vector<std::string> others = {};
};

TEST(Doctor, FindsEachKindAndMendsWhatARecordExplains) {
  using S = std::string;
  const FindingCase cases[] = {
      {"all agree", [](Home&, const S&, const S&) {}, {}, ZRSO::STATUS_MAPPED, false},
      {"export withdrawn by other means",
       [](Home& h, const S&, const S& path) { h.platform.store().DeleteExport("nas1.test", kSales, path); },
       {"view-without-export"}, ZRSO::STATUS_MAPPED, false},
      {"unmap whose withdraw failed",
       [](Home& h, const S& id, const S&) { h.WithExportFault([&] { h.Snaphost({"unmap", id}); }); },
       {"export-without-view"}, ZRSO::STATUS_MAPPED, false},
      {"failed map of a mapped record",
       [](Home& h, const S& id, const S&) { h.WithExportFault([&] { h.Snaphost({"map", id}); }); },
       {"record-not-mapped"}, ZRSO::STATUS_MAPPED, false},
      {"unmap whose record was not kept",
       [](Home& h, const S& id, const S&) { h.Forgetting({"unmap", id}); },
       {"mapped-view-gone"}, ZRSO::STATUS_UNMAPPED, false},
      {"unmap whose withdraw failed and whose record was not kept",
       [](Home& h, const S& id, const S&) { h.WithExportFault([&] { h.Forgetting({"unmap", id}); }); },
       {"mapped-view-gone", "export-without-view"}, ZRSO::STATUS_MAPPED, false},
      {"catalogue lost", [](Home& h, const S&, const S&) { std::filesystem::remove(h.catalogue()); },
       {}, 0, true, {"view-without-record", "view-without-record"}},
      {"piece that is no view record",
       [](Home& h, const S&, const S&) {
         h.platform.PutViewList(kSales, h.platform.store().ReadViewList(kSales).text + "garbage;");
       },
       {"unreadable-piece"}, 0, true},
      {"export of no record",
       [](Home& h, const S&, const S&) {
         h.platform.store().AddExport({"nas1.test", kSales, "/sales-nobody_9", 2, 0});
       },
       {}, 0, true, {"export-without-view"}},
  };
  for (const FindingCase& test : cases) {
    SCOPED_TRACE(test.name);
    Home home("2");
    ASSERT_EQ(home.Snaphost({"map", "--share", "/sales"}).exitCode, 0);
    const SnapRecord first = home.SalesRecords().at(0);
    test.arrange(home, first.id, testsupport::MountPath(first, "sales"));
    const std::string eng = home.PlatformOf(kEng);
    const std::string sales = home.PlatformOf(kSales);

    const int found = test.kinds.empty() ? 0 : 1;
    EXPECT_EQ(home.Doctor({"--share", "/sales"}), std::make_pair(found, test.kinds));
    std::vector<std::string> all = test.kinds;
    all.insert(all.end(), test.others.begin(), test.others.end());
    EXPECT_EQ(home.Doctor({"--share", "/sales", "--others"}), std::make_pair(found, all));
    testsupport::SnaphostRun repair = home.Snaphost({"doctor", "--repair"});
    EXPECT_EQ(repair.exitCode, test.leftAlone ? found : 0);
    // One line for each record mended.
    EXPECT_EQ(std::regex_search(repair.out, std::regex("^repaired " + first.id + ": ")),
              !test.leftAlone && !test.kinds.empty())
        << repair.out;
    EXPECT_EQ(home.Doctor({"--share", "/sales"}),
              std::make_pair(test.leftAlone ? found : 0,
                             test.leftAlone ? test.kinds : std::vector<std::string>{}));
    EXPECT_EQ(home.PlatformOf(kEng), eng);
    if (test.leftAlone) {
      EXPECT_EQ(home.PlatformOf(kSales), sales);
    } else {
      EXPECT_EQ(home.SalesRecords().at(0).status, test.statusAfterRepair);
    }
  }
}

// Doctor never runs beside a batch of its catalogue: it says that one is
// running and exits 3, or with --wait waits for the batch to end.
TEST(Doctor, WaitsForOrRefusesARunningBatch) {
  Home home("1");
  const std::string err = home.platform.folder() + "/err.txt";
  auto said = [&err] {
    std::ostringstream text;
    text << std::ifstream(err).rdbuf();
    return text.str();
  };
  pid_t waiting = -1;
  {
    snaphost::CatalogueLock batch(home.catalogue(), snaphost::CatalogueLock::Use::kBatch, true);
    for (const std::vector<std::string>& doctor :
         std::vector<std::vector<std::string>>{{"doctor"}, {"doctor", "--repair"}}) {
      testsupport::SnaphostRun refused = home.Snaphost(doctor);
      EXPECT_EQ(refused.exitCode, 3);
      EXPECT_EQ(refused.err,
                "snaphost: a batch of this catalogue is running (doctor --wait waits for it to "
                "end)\n");
    }
    int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    waiting = testsupport::StartSnaphost(home.platform.folder(), {"doctor", "--wait"}, devNull);
    close(devNull);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (said().find("waiting") == std::string::npos && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(said(), "snaphost: note: a batch of this catalogue is running; waiting for it to end\n");
    EXPECT_EQ(waitpid(waiting, nullptr, WNOHANG), 0);
  }
  int status = 0;
  waitpid(waiting, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said();
}

// What the plug-in leaves in a record once it has finished with it.
bool Finished(bool map, const SnapRecord& before, const SnapRecord& now) {
  if (map) return now.status == ZRSO::STATUS_MAPPED && now.errorCode == 0 && !now.snapDevice.empty();
  return now.status == ZRSO::STATUS_UNMAPPED && now.snapDevice == before.snapDevice;
}

bool Unchanged(const SnapRecord& before, const SnapRecord& now) {
  return now.status == before.status && now.errorCode == before.errorCode &&
         now.snapDevice == before.snapDevice;
}

// Batches of maps and of unmaps of /sales, killed at points spread over the
// time a whole batch takes. After each kill every record holds what the
// plug-in finished writing into it, with its history entry, or what it held
// before, without that entry; doctor --repair then brings records, views and
// exports into agreement, and /eng never changes.
TEST(Crash, KilledBatchesLoseAtMostTheRecordInProgress) {
  const char* setting = std::getenv("ZRSO_CRASH_POINTS");
  const int points = setting != nullptr ? std::atoi(setting) : kDefaultCrashPoints;
  constexpr int kRecords = 80;
  Home home(std::to_string(kRecords));
  const std::string eng = home.PlatformOf(kEng);
  std::map<bool, Clock::duration> whole;
  for (bool map : {true, false}) {
    auto start = Clock::now();
    ASSERT_EQ(home.Snaphost({map ? "map" : "unmap", "--share", "/sales"}).exitCode, 0);
    whole[map] = Clock::now() - start;
  }
  auto historyLengths = [&home](const std::vector<SnapRecord>& records) {
    snaphost::RecordCatalogue catalogue(home.catalogue());
    std::vector<size_t> lengths;
    for (const SnapRecord& record : records) lengths.push_back(catalogue.History(record.id).size());
    return lengths;
  };
  std::map<std::string, int> figures;
  int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
  for (int point = 0; point < points; ++point) {
    SCOPED_TRACE("kill point " + std::to_string(point));
    const bool map = point % 2 == 0;
    // Every batch starts from what a whole batch of the other kind leaves.
    ASSERT_EQ(home.Snaphost({map ? "unmap" : "map", "--share", "/sales"}).exitCode, 0);
    const std::vector<SnapRecord> before = home.SalesRecords();
    const std::vector<size_t> historyBefore = historyLengths(before);

    pid_t child = testsupport::StartSnaphost(home.platform.folder(),
                                             {map ? "map" : "unmap", "--share", "/sales"}, devNull);
    std::this_thread::sleep_for(whole[map] * (point / 2 + 1) / (points / 2 + 1));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    const std::vector<SnapRecord> after = home.SalesRecords();
    ASSERT_EQ(after.size(), before.size());
    const std::vector<size_t> historyAfter = historyLengths(after);
    int done = 0;
    for (size_t i = 0; i < after.size(); ++i) {
      size_t added = historyAfter[i] - historyBefore[i];
      EXPECT_TRUE(added == 1 ? Finished(map, before[i], after[i])
                             : added == 0 && Unchanged(before[i], after[i]))
          << "record " << i;
      done += static_cast<int>(added);
    }
    figures[done == 0 ? "killed before a record was done"
                      : done == kRecords ? "killed once all were done" : "killed mid-batch"]++;
    // Only the record in progress can disagree.
    auto [found, kinds] = home.Doctor();
    EXPECT_LE(kinds.size(), 1u);
    for (const std::string& kind : kinds) ++figures["found " + kind];
    figures[found == 0 ? "doctor found agreement" : "doctor found disagreement"]++;
    EXPECT_EQ(home.Snaphost({"doctor", "--repair"}).exitCode, 0);
    EXPECT_EQ(home.Doctor().first, 0);
    EXPECT_EQ(home.PlatformOf(kEng), eng);
  }
  close(devNull);
  std::cout << points << " kill points:\n";
  for (const auto& [figure, count] : figures) std::cout << "  " << figure << ": " << count << "\n";
  EXPECT_GT(figures["killed mid-batch"], 0);
}

}  // namespace
