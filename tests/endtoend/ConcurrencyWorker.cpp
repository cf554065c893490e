// One host process of the concurrency test (ConcurrencyTest.cpp). It loads
// the built plug-in, snaps RECORDS snapshots of its own of the share /sales
// on nas1.test, then for ROUNDS rounds maps them all and unmaps them all, one
// record per batch; in the last round every second record stays mapped. An
// operation that lost the race for the share's view list (error 83004,
// because another process wrote the list between this one's read and write)
// is tried again.
//
// usage: endtoend_concurrency_worker NAME RECORDS ROUNDS
// prints: "operations N attempts A races R failures F store-errors S", then
// "record ID NUMBER STATUS" for each record.

#include <cstdio>
#include <string>
#include <vector>

#include "SnapCodes.h"
#include "support/CapturingLogWriter.h"
#include "support/EndToEnd.h"

namespace {

// Far more than a handful of processes can make one operation lose in a row.
constexpr int kMaxAttempts = 1000;

struct Tally {
  int operations = 0;
  int attempts = 0;
  int failures = 0;
};

// Runs `entry` on `record` until it succeeds, or fails other than by a lost
// race.
void Operate(snaphost::BatchEntry entry, snaphost::SnapRecord& record, Tally& tally) {
  ++tally.operations;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    ++tally.attempts;
    if (testsupport::CallEntry(entry, {&record}) == ZRSO::RESULT_SUCCESS) return;
    if (record.errorCode != ZRSO::ERROR_VIEW_LIST_WRITE) break;
  }
  ++tally.failures;
  std::fprintf(stderr, "%s: status %d error %d %s\n", record.id.c_str(), record.status,
               record.errorCode, record.errorText.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s NAME RECORDS ROUNDS\n", argv[0]);
    return 2;
  }
  const std::string name = argv[1];
  const int recordCount = std::stoi(argv[2]);
  const int rounds = std::stoi(argv[3]);

  testsupport::ScopedCapture capture(-1);
  snaphost::Plugin plugin(ZRSO_PLUGIN_PATH);
  std::vector<snaphost::SnapRecord> records;
  for (int index = 0; index < recordCount; ++index) {
    const std::string id = name + "-" + std::to_string(index);
    records.push_back(testsupport::ShareRecord(id, index + 1, "sales", "nas1.test"));
  }

  Tally tally;
  for (snaphost::SnapRecord& record : records) Operate(plugin.snapDevices, record, tally);
  for (int round = 0; round < rounds; ++round) {
    for (snaphost::SnapRecord& record : records) Operate(plugin.mapSnaps, record, tally);
    for (int index = 0; index < recordCount; ++index) {
      if (round + 1 < rounds || index % 2 == 1) Operate(plugin.unmapSnaps, records[index], tally);
    }
  }

  std::printf("operations %d attempts %d races %d failures %d store-errors %d\n", tally.operations,
              tally.attempts, capture->CountContaining("changed since it was read"), tally.failures,
              capture->CountContaining("platform store:"));
  for (const snaphost::SnapRecord& record : records) {
    std::printf("record %s %d %d\n", record.id.c_str(), record.snapNumber, record.status);
  }
  return 0;
}
