#include "BatchRun.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <limits>
#include <memory>

#include "HostContext.h"
#include "HostSnapInfo.h"
#include "admin/InjectedFaults.h"
#include "admin/ServiceCodes.h"
#include "admin/ServiceFailures.h"

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

// Stores each record of a batch as soon as the plug-in is done with it, so
// that a host killed during the batch loses at most the record in progress.
// The plug-in takes the records one after another in array order, starts
// every record's step by reading its source device and never comes back to an
// earlier record: record i is done once record i + 1's source device is read.
class RecordKeeper {
 public:
  RecordKeeper(RecordCatalogue& catalogue, const std::string& operation,
               const std::vector<SnapRecord>& records)
      : catalogue_(catalogue), operation_(operation), records_(records) {}

  // Stores the records before `index` that are not stored yet. Runs inside
  // the plug-in's call, so it throws nothing: a failure leaves them to StoreRest.
  void StoreBefore(size_t index) noexcept {
    if (index <= kept_) return;
    try {
      StoreUpTo(index);
    } catch (...) {
      // The catalogue is busy or failing; StoreRest tries these again.
    }
  }

  // Stores every record not stored yet. Throws HostError.
  void StoreRest() {
    try {
      StoreUpTo(records_.size());
    } catch (const std::runtime_error& error) {
      throw HostError("cannot store the records: " + std::string(error.what()));
    }
  }

 private:
  void StoreUpTo(size_t end) {
    catalogue_.SaveAfter(operation_, static_cast<int64_t>(std::time(nullptr)),
                         records_.begin() + static_cast<std::ptrdiff_t>(kept_),
                         records_.begin() + static_cast<std::ptrdiff_t>(end));
    kept_ = end;
  }

  RecordCatalogue& catalogue_;
  const std::string& operation_;
  const std::vector<SnapRecord>& records_;
  size_t kept_ = 0;
};

// No record succeeded: the plug-in says so of a map, a snap or an unmap, and
// a check of which every record carries an error failed no less.
bool FailedAsAWhole(int result, const std::vector<SnapRecord>& records) {
  if (result == ZRSO::RESULT_FAILURE) return true;
  for (const SnapRecord& record : records) {
    if (record.errorCode == 0) return false;
  }
  return !records.empty();
}

// The cause of the platform's own that failed a whole batch, or empty: the
// store, which every service needs, else the local host name, without which
// a map touches no record.
std::string PlatformCause() {
  const std::vector<localplatform::ServiceFailure> failures =
      localplatform::ServiceFailuresSinceMark();
  for (const localplatform::ServiceFailure& failure : failures) {
    if (failure.code == localplatform::kStoreUnavailable) return failure.why;
  }
  for (const localplatform::ServiceFailure& failure : failures) {
    if (failure.fault == localplatform::kFaultLocalHostName) {
      return "local host name unavailable: " + failure.why;
    }
  }
  return "";
}

}  // namespace

int RunBatch(const std::string& label, BatchEntry entry, std::vector<SnapRecord>& records,
             RecordCatalogue& catalogue) {
  if (records.size() > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw HostError("a batch holds at most " + std::to_string(std::numeric_limits<int16_t>::max()) +
                    " records");
  }
  int result = 0;
  RecordKeeper keeper(catalogue, label, records);
  {
    Progress progress(label, records.size());
    std::vector<std::unique_ptr<HostSnapInfo>> hostRecords;
    std::vector<ZRSO::SnapInfo*> batch;
    for (size_t i = 0; i < records.size(); ++i) {
      hostRecords.push_back(std::make_unique<HostSnapInfo>(records[i]));
      // Every step of the plug-in starts by reading the record's source device.
      hostRecords.back()->OnSourceDeviceRead([&progress, &keeper, i] {
        keeper.StoreBefore(i);
        progress.Started(i);
      });
      batch.push_back(hostRecords.back().get());
    }
    localplatform::MarkServiceFailures();
    result = entry(batch.data(), static_cast<int16_t>(batch.size()), nullptr);
  }
  const std::string cause = FailedAsAWhole(result, records) ? PlatformCause() : "";
  if (!cause.empty()) std::cerr << "snaphost: the batch failed as a whole: " << cause << "\n";
  keeper.StoreRest();
  return result;
}

}  // namespace snaphost
