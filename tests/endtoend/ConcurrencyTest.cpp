// Several host processes at once map and unmap their own snapshots of one
// and the same share (ConcurrencyWorker.cpp), on each store, as two machines:
// each machine's processes have a home of their own and share the one
// platform store. The view list is read whole and written whole, and the
// store refuses a write to a list that changed since it was read: a
// process that lost such a race retries, and no view may be lost on the
// way. ZRSO_CONCURRENCY_ROUNDS sets a longer run.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "SnapCodes.h"
#include "support/EndToEnd.h"
#include "support/EachStore.h"

extern char** environ;

namespace {

constexpr int kWorkers = 4;
constexpr int kMachines = 2;
constexpr int kRecordsPerWorker = 3;
constexpr int kDefaultRounds = 8;
constexpr int64_t kSales = 1001;

// Adds one worker's report to the figures, by name, and to the records.
void ReadReport(const std::string& path, std::map<std::string, int>& figures,
                std::vector<snaphost::SnapRecord>& records) {
  std::ifstream report(path);
  for (std::string word; report >> word;) {
    if (word == "record") {
      snaphost::SnapRecord record;
      report >> record.id >> record.snapNumber >> record.status;
      records.push_back(record);
    } else {
      int value = 0;
      report >> value;
      figures[word] += value;
    }
  }
}

// The environment of a worker on `machine`: its home, and the platform store
// found through the environment, as a host does that installs no
// configuration of its own.
std::vector<std::string> WorkerEnvironment(const testsupport::TempPlatform& platform, int machine) {
  const std::string home = platform.folder() + "/machine" + std::to_string(machine);
  std::vector<std::string> environment = {"ZRSO_PLATFORM_DB=" + platform.location(),
                                          "HOME=" + home, "XDG_STATE_HOME=" + home + "/state"};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string name = std::string(*variable).substr(0, std::string(*variable).find('='));
    if (name != "ZRSO_PLATFORM_DB" && name != "HOME" && name != "XDG_STATE_HOME") {
      environment.emplace_back(*variable);
    }
  }
  return environment;
}

class Concurrency : public testsupport::OnEachStore {};

TEST_P(Concurrency, HostsMappingOneShareAtOnceLoseNoView) {
  platform_.AddNfsServer("nas1", "nas1.test");
  platform_.store().AddShare({"sales", "nas1", kSales});
  const char* roundsSetting = std::getenv("ZRSO_CONCURRENCY_ROUNDS");
  const std::string rounds =
      std::to_string(roundsSetting != nullptr ? std::atoi(roundsSetting) : kDefaultRounds);

  std::vector<pid_t> workers;
  for (int worker = 0; worker < kWorkers; ++worker) {
    std::vector<std::string> environment = WorkerEnvironment(platform_, worker % kMachines);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    const std::string name = "w" + std::to_string(worker);
    const std::string report = platform_.folder() + "/" + name + ".txt";
    std::vector<std::string> args = {ZRSO_CONCURRENCY_WORKER, name,
                                     std::to_string(kRecordsPerWorker), rounds};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, report.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    workers.push_back(pid);
  }
  std::map<std::string, int> figures;
  std::vector<snaphost::SnapRecord> records;
  for (int worker = 0; worker < kWorkers; ++worker) {
    int status = 0;
    ASSERT_EQ(waitpid(workers[worker], &status, 0), workers[worker]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "worker " << worker;
    ReadReport(platform_.folder() + "/w" + std::to_string(worker) + ".txt", figures, records);
  }
  ASSERT_EQ(records.size(), static_cast<size_t>(kWorkers * kRecordsPerWorker));

  // A mapped record has its view listed once and exported; nothing else is
  // listed or exported.
  std::vector<std::string> mapped;
  for (const snaphost::SnapRecord& record : records) {
    EXPECT_TRUE(record.status == ZRSO::STATUS_MAPPED || record.status == ZRSO::STATUS_UNMAPPED)
        << record.id;
    if (record.status == ZRSO::STATUS_MAPPED) {
      mapped.push_back(testsupport::MountPath(record, "sales"));
    }
  }
  std::vector<std::string> listed = testsupport::ListedValues(platform_.store(), kSales);
  std::vector<std::string> exported =
      testsupport::ExportedMountPaths(platform_.store(), "nas1.test");
  std::sort(mapped.begin(), mapped.end());
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> wrong;
  std::set_symmetric_difference(mapped.begin(), mapped.end(), listed.begin(), listed.end(),
                                std::back_inserter(wrong));
  std::set_symmetric_difference(mapped.begin(), mapped.end(), exported.begin(), exported.end(),
                                std::back_inserter(wrong));
  const size_t lost = wrong.size();

  std::cout << "concurrency: " << kWorkers << " processes on " << kMachines << " machines, "
            << figures["operations"]
            << " operations in " << figures["attempts"] << " attempts, " << figures["races"]
            << " races detected and retried, " << lost << " lost updates\n";
  EXPECT_EQ(figures["failures"], 0);
  EXPECT_EQ(figures["store-errors"], 0);
  // Every retry answered a race that the store reported, not a store failure.
  EXPECT_EQ(figures["attempts"] - figures["operations"], figures["races"]);
  EXPECT_EQ(lost, 0u) << testing::PrintToString(wrong);
}

INSTANTIATE_ON_EACH_STORE(Concurrency);

}  // namespace
