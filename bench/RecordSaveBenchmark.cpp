// What keeping its records costs the host. snaphost stores each record of a
// batch, with its history entry, in a transaction of its own as soon as the
// plug-in is done with it (records_per_transaction:1), where it used to store
// the whole batch in one transaction when the batch returned (:2000). The
// rate is records stored per second.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordCatalogue.h"
#include "support/TempPlatform.h"

namespace {

constexpr size_t kBatch = 2000;

// Records of the size a mapping leaves: ids, descriptors and both metadata.
std::vector<snaphost::SnapRecord> MappedRecords() {
  std::vector<snaphost::SnapRecord> records(kBatch);
  for (size_t i = 0; i < records.size(); ++i) {
    snaphost::SnapRecord& record = records[i];
    record.id = "3f1c7f4e-0000-4000-8000-" + std::to_string(100000000000 + i);
    record.snapNumber = static_cast<int>(i + 1);
    record.sourceDevice = "{orutype:,type:nfs,lunuuid:/sales,targethostname:nas1.test}";
    record.snapDevice = "{orutype:,type:nfs,lunuuid:/sales-" + record.id + "_" +
                        std::to_string(record.snapNumber) + ",targethostname:nas1.test}";
    record.status = 12;
    record.arrayName = "nas1.test";
    record.metadata = {{146, "1700000000"}, {147, "1001"}};
  }
  return records;
}

void RecordSave(benchmark::State& state) {
  testsupport::TempPlatform platform;
  snaphost::RecordCatalogue catalogue(platform.folder() + "/records.db");
  const std::vector<snaphost::SnapRecord> records = MappedRecords();
  const size_t perTransaction = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    for (size_t first = 0; first < records.size(); first += perTransaction) {
      size_t last = std::min(first + perTransaction, records.size());
      catalogue.SaveAfter("map", 0, records.begin() + static_cast<std::ptrdiff_t>(first),
                          records.begin() + static_cast<std::ptrdiff_t>(last));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}

BENCHMARK(RecordSave)
    ->ArgName("records_per_transaction")
    ->Arg(1)
    ->Arg(static_cast<int64_t>(kBatch))
    ->Unit(benchmark::kMillisecond);

}  // namespace
