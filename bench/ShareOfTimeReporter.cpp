#include "ShareOfTimeReporter.h"

#include <unistd.h>

#include <cstdio>

namespace bench {
namespace {

using Run = benchmark::BenchmarkReporter::Run;

bool Counts(const Run& run) {
  if (run.error_occurred) return false;
  if (run.run_type == Run::RT_Aggregate) return run.aggregate_name == "median";
  return run.repetitions <= 1;
}

double Counter(const Run& run, const char* name) {
  auto found = run.counters.find(name);
  return found == run.counters.end() ? -1 : found->second.value;
}

}  // namespace

ShareOfTimeReporter::ShareOfTimeReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

void ShareOfTimeReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    double floor = Counter(run, "floor_us");
    if (!Counts(run) || floor < 0) continue;
    double plugin =
        run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e6;
    char row[256];
    std::snprintf(row, sizeof(row),
                  "| %s | %s | %.1f | %.0f | %.1f | %.1f%% | %.1f%% | %.1f | %.1f | %.2f |",
                  run.run_name.function_name.c_str(), run.run_name.args.c_str(), plugin,
                  Counter(run, "items_per_second"), floor, 100 * Counter(run, "own_share"),
                  100 * Counter(run, "own_share_med"), Counter(run, "median_us"),
                  Counter(run, "floor_median_us"), Counter(run, "ratio_med"));
    rows_.push_back(row);
  }
}

void ShareOfTimeReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::printf(
      "\n| operation | sizes | plug-in (us) | records/s | platform floor (us) | "
      "plug-in's own share | own share, medians | plug-in, median (us) | "
      "floor, median (us) | ratio, medians |\n|---|---|--:|--:|--:|--:|--:|--:|--:|--:|\n");
  for (const std::string& row : rows_) std::printf("%s\n", row.c_str());
  if (!rows_.empty()) {
    std::printf(
        "\nThe own share is the plug-in's time less its floor's, over the plug-in's: where the\n"
        "plug-in adds next to nothing, the noise of two measurements of nearly the same work\n"
        "makes it a little negative as often as a little positive (bench/RESULTS.md).\n");
  }
  std::fflush(stdout);
}

}  // namespace bench
