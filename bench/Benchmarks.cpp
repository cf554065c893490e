#include "Benchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <numeric>
#include <string>
#include <vector>

#include "BenchPlatform.h"
#include "DirectListStatements.h"
#include "HostSnapInfo.h"
#include "PlatformReplay.h"
#include "PluginLoader.h"
#include "admin/PlatformCounters.h"

namespace bench {
namespace {

constexpr std::initializer_list<int64_t> kShareCounts = {10, 1000, 100000};
constexpr std::initializer_list<int64_t> kViewCounts = {1, 100, 1000, 10000};
// On PostgreSQL, whose every call crosses to the server, the smaller sizes.
constexpr std::initializer_list<int64_t> kPostgresShareCounts = {10, 1000};
constexpr std::initializer_list<int64_t> kPostgresViewCounts = {1, 1000};

using testsupport::StoreKind;

// Runs `entry` on a batch of the one record, as the host does.
bool RunOne(snaphost::BatchEntry entry, snaphost::SnapRecord& record) {
  snaphost::HostSnapInfo info(record);
  ZRSO::SnapInfo* batch[] = {&info};
  return entry(batch, 1, nullptr) == ZRSO::RESULT_SUCCESS;
}

// One operation: the plug-in's step and its floor, each with the untimed
// step that undoes it, so every iteration starts from the same state.
struct Operation {
  std::function<bool()> plugin;
  std::function<bool()> undoPlugin;
  std::function<bool()> floor;
  std::function<bool()> undoFloor;
};

bool Timed(const std::function<bool()>& step, double& seconds) {
  auto start = std::chrono::steady_clock::now();
  bool done = step();
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return done;
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  auto middle = samples.begin() + samples.size() / 2;
  std::nth_element(samples.begin(), middle, samples.end());
  return *middle;
}

// The plug-in's step and the floor take turns at going first, so that
// neither always meets the caches and the heap the other one left.
//
// The share is given twice: from the means, which is what a record costs on
// average, and from the medians, which leave out the iterations where a
// write made the database copy its log into the file and wait for the disk.
// Those land on the plug-in's side or the floor's by chance and make the
// first figure noisy at small sizes.
void TimeAgainstFloor(benchmark::State& state, const Operation& operation) {
  std::vector<double> pluginSamples;
  std::vector<double> floorSamples;
  int64_t roundTrips = 0;
  bool pluginFirst = true;
  for (auto _ : state) {
    double pluginSeconds = 0;
    double floorSeconds = 0;
    auto plugin = [&] {
      const int64_t tripsBefore = localplatform::StoreRoundTrips();
      const bool done = Timed(operation.plugin, pluginSeconds);
      roundTrips += localplatform::StoreRoundTrips() - tripsBefore;
      return done && operation.undoPlugin();
    };
    auto floor = [&] { return Timed(operation.floor, floorSeconds) && operation.undoFloor(); };
    if (!(pluginFirst ? plugin() && floor() : floor() && plugin())) {
      state.SkipWithError("a step failed");
      return;
    }
    pluginFirst = !pluginFirst;
    state.SetIterationTime(pluginSeconds);
    pluginSamples.push_back(pluginSeconds);
    floorSamples.push_back(floorSeconds);
  }
  auto share = [](double plugin, double floor) {
    return plugin > 0 ? (plugin - floor) / plugin : 0;
  };
  double pluginMean = std::accumulate(pluginSamples.begin(), pluginSamples.end(), 0.0);
  double floorMean = std::accumulate(floorSamples.begin(), floorSamples.end(), 0.0);
  state.SetItemsProcessed(state.iterations());
  state.counters["floor_us"] =
      benchmark::Counter(floorMean * 1e6, benchmark::Counter::kAvgIterations);
  state.counters["own_share"] = share(pluginMean, floorMean);
  const double pluginMedian = Median(pluginSamples);
  const double floorMedian = Median(floorSamples);
  state.counters["own_share_med"] = share(pluginMedian, floorMedian);
  state.counters["median_us"] = pluginMedian * 1e6;
  state.counters["floor_median_us"] = floorMedian * 1e6;
  state.counters["ratio_med"] = floorMedian > 0 ? pluginMedian / floorMedian : 0;
  if (roundTrips > 0) {
    state.counters["round_trips"] =
        benchmark::Counter(static_cast<double>(roundTrips), benchmark::Counter::kAvgIterations);
  }
}

bool Nothing() { return true; }

void Snapshot(benchmark::State& state, StoreKind kind) {
  const BenchPlatform& platform = ActivePlatform(kind, state.range(0));
  snaphost::SnapRecord record = platform.Record();
  TimeAgainstFloor(state, {[&] { return RunOne(LoadedPlugin().snapDevices, record); }, Nothing,
                           [&] { return ReplaySnapshot(platform); }, Nothing});
}

// The active home with the target's list arranged at the size asked, and a
// snapped record of the target.
BenchPlatform& Arrange(benchmark::State& state, StoreKind kind, snaphost::SnapRecord& record) {
  BenchPlatform& platform = ActivePlatform(kind, state.range(0));
  platform.ArrangeViews(state.range(1));
  record = platform.Record();
  if (!RunOne(LoadedPlugin().snapDevices, record)) state.SkipWithError("snapshot failed");
  return platform;
}

void CheckListRestored(benchmark::State& state, BenchPlatform& platform) {
  if (!platform.ListIsArranged()) state.SkipWithError("the list was not restored");
}

void Map(benchmark::State& state, StoreKind kind) {
  snaphost::SnapRecord record;
  BenchPlatform& platform = Arrange(state, kind, record);
  const snaphost::Plugin& plugin = LoadedPlugin();
  TimeAgainstFloor(state,
                   {[&] { return RunOne(plugin.mapSnaps, record); },
                    [&] { return RunOne(plugin.unmapSnaps, record); },
                    [&] { return ReplayMap(platform); }, [&] { return ReplayUnmap(platform); }});
  CheckListRestored(state, platform);
}

void Unmap(benchmark::State& state, StoreKind kind) {
  snaphost::SnapRecord record;
  BenchPlatform& platform = Arrange(state, kind, record);
  const snaphost::Plugin& plugin = LoadedPlugin();
  if (!RunOne(plugin.mapSnaps, record)) state.SkipWithError("map failed");
  TimeAgainstFloor(state,
                   {[&] { return RunOne(plugin.unmapSnaps, record); },
                    [&] { return RunOne(plugin.mapSnaps, record); },
                    [&] { return ReplayUnmap(platform); }, [&] { return ReplayMap(platform); }});
  RunOne(plugin.unmapSnaps, record);
  CheckListRestored(state, platform);
}

void Procedure(benchmark::State& state) {
  ActivePlatform(StoreKind::kSqlite, state.range(0));
  std::string response;
  for (auto _ : state) {
    if (!CallShareListProcedure(response)) {
      state.SkipWithError("the stored procedure failed");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ResponseParse(benchmark::State& state) {
  ActivePlatform(StoreKind::kSqlite, state.range(0));
  std::string response;
  if (!CallShareListProcedure(response)) state.SkipWithError("the stored procedure failed");
  for (auto _ : state) {
    if (!ParseShareList(response)) {
      state.SkipWithError("the answer does not parse");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(response.size()));
}

// One read and one write of a list of the size asked through the platform,
// in the smallest home, timed in turns with the same two statements run
// directly (the floor). The timed write makes the list one view longer and
// the untimed one puts it back, as map and unmap do: a write of the very
// text stored would let the database skip the pages that did not change.
void ListReadWrite(benchmark::State& state) {
  BenchPlatform& platform = ActivePlatform(StoreKind::kSqlite, *kShareCounts.begin());
  platform.ArrangeViews(state.range(0));
  DirectListStatements direct(platform.location());
  TimeAgainstFloor(state,
                   {[&] { return ReadAndWriteList(platform, platform.extendedList()); },
                    [&] { return ReadAndWriteList(platform, platform.arrangedList()); },
                    [&] { return direct.ReadAndWrite(); }, [&] { return direct.ReadAndWrite(); }});
  CheckListRestored(state, platform);
  state.SetBytesProcessed(state.iterations() * 2 *
                          static_cast<int64_t>(platform.arrangedList().size()));
}

// Snapshot, map and unmap on the store of `kind`, their names prefixed with
// `prefix`.
void RegisterOperations(const std::string& prefix, StoreKind kind,
                        const std::vector<int64_t>& shareCounts,
                        const std::vector<int64_t>& viewCounts) {
  using benchmark::RegisterBenchmark;
  RegisterBenchmark((prefix + "snapshot").c_str(), Snapshot, kind)
      ->ArgsProduct({shareCounts})
      ->ArgNames({"shares"})
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
  for (auto* operation : {RegisterBenchmark((prefix + "map").c_str(), Map, kind),
                          RegisterBenchmark((prefix + "unmap").c_str(), Unmap, kind)}) {
    operation->ArgsProduct({shareCounts, viewCounts})
        ->ArgNames({"shares", "views"})
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

void RegisterBenchmarks() {
  using benchmark::RegisterBenchmark;
  RegisterOperations("", StoreKind::kSqlite, kShareCounts, kViewCounts);
  if (!testsupport::TestServer().empty()) {
    RegisterOperations("postgresql/", StoreKind::kPostgres, kPostgresShareCounts,
                       kPostgresViewCounts);
  }
  for (auto* call : {RegisterBenchmark("procedure", Procedure),
                     RegisterBenchmark("response_parse", ResponseParse)}) {
    call->ArgsProduct({kShareCounts})->ArgNames({"shares"})->Unit(benchmark::kMicrosecond);
  }
  RegisterBenchmark("list_read_write", ListReadWrite)
      ->ArgsProduct({kViewCounts})
      ->ArgNames({"views"})
      ->UseManualTime()
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace bench
