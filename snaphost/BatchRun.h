#pragma once
// One batch of stored records through one entry point of the plug-in.

#include <string>
#include <vector>

#include "PluginLoader.h"
#include "RecordCatalogue.h"
#include "SnapRecord.h"

namespace snaphost {

// Hands `records` to `entry` as one batch and stores what the plug-in wrote
// into each record, with an entry in its history, as soon as the plug-in is
// done with it. Returns the entry point's batch result. `label` names the
// operation in the history and in the progress line that a batch of more
// than a few records shows on a terminal. A batch that failed as a whole
// for a cause of the platform's own (the store, the local host name) says
// so in one line on stderr.
int RunBatch(const std::string& label, BatchEntry entry, std::vector<SnapRecord>& records,
             RecordCatalogue& catalogue);

}  // namespace snaphost
