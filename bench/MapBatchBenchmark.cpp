// A map batch of N snapshots of one share, in one call of the plug-in, against
// its floor: N one-row commits to a SQLite database of its own, each row the
// size of one view record. Every map of the batch reads the share's list and
// writes it one view longer, so what a list write costs the platform decides
// how the batch grows with N: a cost per write that grows with the list makes
// the batch grow with N squared. Times are the process's CPU time (user +
// system), which other work on the machine moves less than the wall clock.
// The batch is snapped first and unmapped after, untimed.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "BenchPlatform.h"
#include "CpuTime.h"
#include "HostSnapInfo.h"
#include "SqliteDatabase.h"
#include "support/EndToEnd.h"

namespace bench {
namespace {

class Batch {
 public:
  Batch(const BenchPlatform& platform, int64_t size) {
    for (int64_t number = 1; number <= size; ++number) {
      records_.push_back(
          testsupport::ShareRecord("0b5e7c1a-batch-4c2e-9d41-" + std::to_string(number),
                                   static_cast<int>(number), platform.targetShare(), kServerHost));
    }
    for (snaphost::SnapRecord& record : records_) {
      infos_.push_back(std::make_unique<snaphost::HostSnapInfo>(record));
      batch_.push_back(infos_.back().get());
    }
  }

  bool Run(snaphost::BatchEntry entry) {
    return entry(batch_.data(), static_cast<int>(batch_.size()), nullptr) == ZRSO::RESULT_SUCCESS;
  }

 private:
  std::vector<snaphost::SnapRecord> records_;
  std::vector<std::unique_ptr<snaphost::HostSnapInfo>> infos_;
  std::vector<ZRSO::SnapInfo*> batch_;
};

// N commits of one row of `row` each, on the database at `path`.
void OneRowCommits(const std::string& path, int64_t count, const std::string& row) {
  static const std::vector<storage::Migration> kSchema = {
      "CREATE TABLE rows (id INTEGER PRIMARY KEY, value BLOB NOT NULL)"};
  storage::SqliteDatabase db(path, kSchema);
  for (int64_t index = 0; index < count; ++index) {
    storage::Transaction unit(db);
    db.Reuse("INSERT INTO rows (value) VALUES (?1)").Bind(1, row).Run();
    unit.Commit();
  }
}

void MapBatch(benchmark::State& state) {
  BenchPlatform& platform = ActivePlatform(testsupport::StoreKind::kSqlite, 10);
  platform.ArrangeViews(0);
  const snaphost::Plugin& plugin = LoadedPlugin();
  const int64_t size = state.range(0);
  const std::string row = platform.extendedList();
  double batchSeconds = 0;
  double floorSeconds = 0;
  int64_t run = 0;
  for (auto _ : state) {
    Batch batch(platform, size);
    if (!batch.Run(plugin.snapDevices)) return state.SkipWithError("the snapshot batch failed");
    double start = CpuSeconds();
    bool mapped = batch.Run(plugin.mapSnaps);
    const double seconds = CpuSeconds() - start;
    batchSeconds += seconds;
    if (!mapped || !batch.Run(plugin.unmapSnaps)) return state.SkipWithError("a batch failed");
    start = CpuSeconds();
    OneRowCommits(platform.location() + ".rows-" + std::to_string(run++), size, row);
    floorSeconds += CpuSeconds() - start;
    state.SetIterationTime(seconds);
  }
  if (!platform.ListIsArranged()) state.SkipWithError("the list was not restored");
  const double runs = static_cast<double>(state.iterations());
  state.counters["batch_cpu_s"] = batchSeconds / runs;
  state.counters["floor_cpu_s"] = floorSeconds / runs;
  state.counters["ratio"] = floorSeconds > 0 ? batchSeconds / floorSeconds : 0;
  state.counters["us_per_map"] = 1e6 * batchSeconds / runs / static_cast<double>(size);
}

BENCHMARK(MapBatch)
    ->ArgName("snapshots")
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
