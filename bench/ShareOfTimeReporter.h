#pragma once
// The console report, followed by one table of the operations timed against
// their platform floor: per operation and sizes the plug-in's time per
// record, the rate that makes, the floor and the plug-in's own share (from
// the means and from the medians of the iterations), then the medians of the
// iterations themselves and their ratio. With repetitions the table holds
// the medians of the runs, otherwise the single runs.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace bench {

class ShareOfTimeReporter : public benchmark::ConsoleReporter {
 public:
  // In colour on a terminal only.
  ShareOfTimeReporter();
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  std::vector<std::string> rows_;
};

}  // namespace bench
