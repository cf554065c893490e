// A snapshot record at 100,000 shares against its floor: one read of the
// whole share table, with the store's own statement, straight on SQLite over
// a connection of its own to the same database, set up as the store's are.
// What the record costs beyond that read is the share list's way to the
// plug-in (the answer served, copied and read into messages) and the
// plug-in's walk of its entries. Times are the process's CPU time; the
// record and the floor take turns at going first. One record before the
// timed ones reads the answer the first time; "kept_mb" is how much more the
// heap holds after it than before.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <vector>

#include "BenchPlatform.h"
#include "CpuTime.h"
#include "HostSnapInfo.h"
#include "SqliteDatabase.h"
#include "store/Schema.h"
#include "store/Statements.h"

namespace bench {
namespace {

// Runs a batch of the one record, as the host does.
bool Snap(snaphost::SnapRecord& record) {
  snaphost::HostSnapInfo info(record);
  ZRSO::SnapInfo* batch[] = {&info};
  return LoadedPlugin().snapDevices(batch, 1, nullptr) == ZRSO::RESULT_SUCCESS;
}

// Every row of the share table, read as the store reads it.
bool ReadShareTable(storage::Statement& list, int64_t shares) {
  std::vector<localplatform::ShareRow> rows;
  while (list.Step()) rows.push_back({list.ColumnText(0), list.ColumnText(1), list.ColumnInt64(2)});
  list.Reset();
  return static_cast<int64_t>(rows.size()) == shares;
}

double HeapBytes() { return static_cast<double>(mallinfo2().uordblks); }

void SnapshotAgainstShareTable(benchmark::State& state) {
  const int64_t shares = state.range(0);
  BenchPlatform& platform = ActivePlatform(testsupport::StoreKind::kSqlite, shares);
  snaphost::SnapRecord record = platform.Record();
  storage::SqliteDatabase db(platform.location(), localplatform::SqliteSchema());
  db.Exec(localplatform::kSqlitePageCacheSetting);
  storage::Statement list = db.Prepare(localplatform::kListShares);
  const double heapBefore = HeapBytes();
  if (!Snap(record)) return state.SkipWithError("the snapshot failed");
  const double keptBytes = HeapBytes() - heapBefore;
  double recordSeconds = 0;
  double floorSeconds = 0;
  bool recordFirst = true;
  for (auto _ : state) {
    double seconds = 0;
    auto timedRecord = [&] {
      const double start = CpuSeconds();
      const bool done = Snap(record);
      seconds = CpuSeconds() - start;
      recordSeconds += seconds;
      return done;
    };
    auto timedFloor = [&] {
      const double start = CpuSeconds();
      const bool done = ReadShareTable(list, shares);
      floorSeconds += CpuSeconds() - start;
      return done;
    };
    if (!(recordFirst ? timedRecord() && timedFloor() : timedFloor() && timedRecord())) {
      return state.SkipWithError("a step failed");
    }
    recordFirst = !recordFirst;
    state.SetIterationTime(seconds);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["record_cpu_ms"] = 1e3 * recordSeconds / runs;
  state.counters["floor_cpu_ms"] = 1e3 * floorSeconds / runs;
  state.counters["ratio"] = floorSeconds > 0 ? recordSeconds / floorSeconds : 0;
  state.counters["kept_mb"] = keptBytes / 1e6;
}

BENCHMARK(SnapshotAgainstShareTable)
    ->ArgName("shares")
    ->Arg(100000)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
