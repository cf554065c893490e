#include "BatchRun.h"

#include <unistd.h>

#include <cstdio>
#include <limits>
#include <memory>

#include "HostContext.h"
#include "HostSnapInfo.h"

namespace snaphost {
namespace {

// Batches up to this size finish before anyone would look for progress.
constexpr size_t kQuietBatchSize = 5;

// "label: done/total" on stderr, rewritten in place, only on a terminal.
class Progress {
 public:
  Progress(const std::string& label, size_t total)
      : label_(label), total_(total), shown_(total > kQuietBatchSize && isatty(STDERR_FILENO)) {}
  ~Progress() {
    if (shown_) std::fprintf(stderr, "\r%s: %zu/%zu\n", label_.c_str(), total_, total_);
  }

  void Started(size_t index) {
    if (shown_) std::fprintf(stderr, "\r%s: %zu/%zu", label_.c_str(), index, total_);
  }

 private:
  std::string label_;
  size_t total_;
  bool shown_;
};

}  // namespace

int RunBatch(const std::string& label, BatchEntry entry, std::vector<SnapRecord>& records,
             RecordCatalogue& catalogue) {
  if (records.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw HostError("a batch holds at most " + std::to_string(std::numeric_limits<int16_t>::max()) +
                    " records");
  }
  int result = 0;
  {
    Progress progress(label, records.size());
    std::vector<std::unique_ptr<HostSnapInfo>> hostRecords;
    std::vector<ZRSO::SnapInfo*> batch;
    for (size_t i = 0; i < records.size(); ++i) {
      hostRecords.push_back(std::make_unique<HostSnapInfo>(records[i]));
      // Every step of the plug-in starts by reading the record's source device.
      hostRecords.back()->OnSourceDeviceRead([&progress, i] { progress.Started(i); });
      batch.push_back(hostRecords.back().get());
    }
    result = entry(batch.data(), static_cast<int16_t>(batch.size()), nullptr);
  }
  try {
    catalogue.Save(records);
  } catch (const std::runtime_error& error) {
    throw HostError("cannot store the records: " + std::string(error.what()));
  }
  return result;
}

}  // namespace snaphost
