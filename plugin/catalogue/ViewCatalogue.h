#pragma once
// The view catalogue of a share: check, create and delete point-in-time
// views in the share subclient's view list. Each call reads the whole list
// and, when it changes it, writes the whole list back; nothing is kept
// between calls. Results: 0 (done, or nothing to do), ERROR_VIEW_LIST_READ
// (the list could not be read), ERROR_VIEW_LIST_WRITE (it could not be
// written). `error` is written only when the result is not 0.

#include <string>

#include "PITViewArgs.h"
#include "PluginExport.h"

// On 0, `exists` tells whether a record with `args.mntPath` is listed; on
// failure it is unchanged.
ZRSO_EXPORT int CheckPITView(CheckPITViewArgs& args, bool& exists, std::string& error);

// Appends the view record of `args` unless a record named `args.snapName` is
// listed already (then 0 and nothing written). Refuses, with
// ERROR_VIEW_LIST_WRITE and nothing written, a record any of whose values
// holds ";" or "<", which would split or shadow records in the list.
// `appended` is set to whether this call added the record, so that a caller
// taking a failed mapping back removes only a view it made itself.
ZRSO_EXPORT int32_t CreatePITView(CreatePITViewArgs& args, std::string& error, bool& appended);

// Removes every record with `args.mntPath`. Before the list is written, the
// export of each removed view is withdrawn on the NFS server that record
// names; a withdrawal that fails does not stop the removal.
ZRSO_EXPORT int DeletePITView(DeletePITViewArgs& args, std::string& error);
