// The benchmark program: every benchmark on the console, then the plug-in's
// share of each operation's time beside its platform floor.

#include <benchmark/benchmark.h>

#include "Benchmarks.h"
#include "ShareOfTimeReporter.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::RegisterBenchmarks();
  bench::ShareOfTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
