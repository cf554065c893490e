#pragma once
// Which stored records a command works on.

#include <string>
#include <vector>

#include "RecordCatalogue.h"

namespace snaphost {

// The records named by `ids`, in that order, or, with no ids, every record
// whose source device names share path `share` (as given to `snap --share`);
// with neither, every record. Throws HostError for an id that is not stored.
std::vector<SnapRecord> SelectRecords(RecordCatalogue& catalogue, const std::vector<std::string>& ids,
                                      const std::string& share);

// The share path a record's source device names; empty when it names none.
std::string RecordShare(const SnapRecord& record);

}  // namespace snaphost
