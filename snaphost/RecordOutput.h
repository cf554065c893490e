#pragma once
// How snaphost shows its records: one row each, or JSON.

#include <optional>
#include <vector>

#include "SnapRecord.h"

namespace snaphost {

// A header and one row per record: id, number, status with its meaning,
// error code, snapshot time (metadata 146), share subclient (metadata 147),
// snap device and error text.
void PrintRecordRows(const std::vector<SnapRecord>& records);

// {"result": R, "records": [...]} with the same fields, and the source device;
// "result" only when a batch ran.
void PrintRecordsJson(const std::vector<SnapRecord>& records, std::optional<int> result);

// The same for one record, with its history: {"records": [{..., "history": [...]}]}.
void PrintRecordJson(const SnapRecord& record, const std::vector<RecordEvent>& history);

// Every field of one record, one per line, metadata included, then its
// history, one operation a line, oldest first.
void PrintRecordDetail(const SnapRecord& record, const std::vector<RecordEvent>& history);

}  // namespace snaphost
