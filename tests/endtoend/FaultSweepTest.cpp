// Every error path of snaphost's batch commands, one failing call at a time:
// for each platform service, the Nth call that a batch of two records makes
// of it fails, for N = 1, 2, ... until a run in which no Nth call came; and
// likewise the Nth platform call of any service throws. After every run the
// host has ended by itself, and doctor --repair brings records, views and
// exports into agreement, which doctor then confirms. Each run starts from
// the state its command expects, restored from a copy.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "admin/InjectedFaults.h"
#include "admin/PlatformCopy.h"
#include "support/EachStore.h"
#include "support/SnaphostProcess.h"

namespace {

using localplatform::Store;
using Clock = std::chrono::steady_clock;

// A sweep that has not ended by then is a fault that fires without end.
constexpr int64_t kLastCall = 64;

// The steps from a fresh home to where each command starts, a command's
// own step being the one after; the job's copy id is set again before each.
const std::vector<std::string> kCopyId = {"copy-id", "set", "7", "5"};
const std::vector<std::vector<std::string>> kSteps = {
    {"server", "add", "nas1.test"},
    {"client", "add", "nas1", "nas1.test"},
    {"share", "add", "sales", "nas1", "1001"},
    {"snap", "--share", "/sales", "--server", "nas1.test", "--job", "7", "--count", "2"},
    {"map", "--share", "/sales"},
};
constexpr size_t kSnapStep = 3;

struct Command {
  std::vector<std::string> args;
  size_t stepsBefore;
};

const Command kCommands[] = {
    {kSteps[kSnapStep], kSnapStep},
    {kSteps[kSnapStep + 1], kSnapStep + 1},
    {{"is-mapped", "--share", "/sales"}, kSteps.size()},
    {{"unmap", "--share", "/sales"}, kSteps.size()},
};

// What the log shows once for each fault that fires: the platform's line,
// or, for a throw, the line of the plug-in's guard that caught it.
std::string FiredText(const std::string& fault) {
  return fault == localplatform::kFaultThrow ? "Unexpected exception [injected fault [throw]"
                                             : "] injected fault [" + fault + "]";
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class FaultSweep : public testsupport::OnEachStore {
 protected:
  // The home's record catalogue and the platform, as one command finds them.
  struct Start {
    std::string catalogue;  // its copy; empty when there was no catalogue yet
    std::unique_ptr<Store> platform;
  };

  testsupport::SnaphostRun Snaphost(const std::vector<std::string>& args) {
    return testsupport::RunSnaphostOn(platform_, args);
  }
  std::string Home(const std::string& name) const { return platform_.folder() + "/" + name; }

  Start Keep(const std::string& name) {
    Start start;
    if (std::filesystem::exists(Home("records.db"))) {
      start.catalogue = Home(name + ".records");
      std::filesystem::copy_file(Home("records.db"), start.catalogue);
    }
    start.platform = localplatform::ConnectStore(Home(name + ".platform"));
    localplatform::PlatformContents copied;
    localplatform::CopyPlatform(platform_.store(), *start.platform, true, copied);
    return start;
  }

  void Restore(const Start& start) {
    std::filesystem::remove(Home("records.db"));
    if (!start.catalogue.empty()) std::filesystem::copy_file(start.catalogue, Home("records.db"));
    localplatform::PlatformContents copied;
    localplatform::CopyPlatform(*start.platform, platform_.store(), true, copied);
    std::ofstream(Home("zrso.log"), std::ios::trunc);
  }

  // Runs `command` from `start` with call `nth` of `fault` failing, then
  // mends what it left; tells whether the fault fired.
  bool RunFailing(const Command& command, const Start& start, const std::string& fault,
                  int64_t nth) {
    Restore(start);
    platform_.store().SetFault({fault, "", nth, false});
    const testsupport::SnaphostRun run = Snaphost(command.args);
    platform_.store().ClearFaults("");
    std::ostringstream log;
    log << std::ifstream(Home("zrso.log")).rdbuf();
    const int fired = CountOf(log.str(), FiredText(fault));

    EXPECT_TRUE(run.exitCode >= 0 && run.exitCode <= 2) << run.exitCode << " " << run.err;
    EXPECT_LE(fired, 1) << log.str();
    // Repair examines again after its mends; a doctor of its own confirms
    // the mends were kept.
    const testsupport::SnaphostRun repair = Snaphost({"doctor", "--repair"});
    EXPECT_EQ(repair.exitCode, 0) << repair.out << repair.err;
    if (repair.out.find("repaired ") != std::string::npos) {
      const testsupport::SnaphostRun doctor = Snaphost({"doctor"});
      EXPECT_EQ(doctor.exitCode, 0) << doctor.out << doctor.err;
      ++mended_;
    }
    return fired == 1;
  }

  int mended_ = 0;  // runs after which repair mended a record
};

TEST_P(FaultSweep, EveryFailingCallOfABatchIsMendedByRepair) {
  std::vector<Start> starts;
  size_t done = 0;
  for (const Command& command : kCommands) {
    for (; done < command.stepsBefore; ++done) ASSERT_EQ(Snaphost(kSteps[done]).exitCode, 0);
    ASSERT_EQ(Snaphost(kCopyId).exitCode, 0);
    starts.push_back(Keep("start" + std::to_string(starts.size())));
  }

  const Clock::time_point began = Clock::now();
  int runs = 0;
  std::ostringstream reach;
  for (size_t i = 0; i < std::size(kCommands); ++i) {
    reach << "  " << kCommands[i].args[0] << ":";
    for (const localplatform::FaultKind& kind : localplatform::FaultKinds()) {
      int64_t nth = 1;
      for (; nth <= kLastCall; ++nth) {
        SCOPED_TRACE(kCommands[i].args[0] + " with call " + std::to_string(nth) + " of " +
                     kind.name + " failing");
        ++runs;
        const bool fired = RunFailing(kCommands[i], starts[i], kind.name, nth);
        if (HasFailure()) return;
        if (!fired) break;
      }
      EXPECT_LE(nth, kLastCall) << kind.name << " fires at every call of " << kCommands[i].args[0];
      reach << " " << kind.name << " " << nth - 1;
    }
    reach << "\n";
  }
  std::cout << "Calls failed, of each service under each command (throw: of any service):\n"
            << reach.str() << runs << " runs, " << mended_ << " of them mended by repair, in "
            << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began).count()
            << " ms\n";
}

INSTANTIATE_ON_EACH_STORE(FaultSweep);

}  // namespace
