#pragma once
// Mapping one snapshot: a point-in-time view in the share's view list, its
// export on the share's NFS server, and a snap device descriptor naming it.

#include <string>

#include "PluginExport.h"
#include "SnapInfo.h"

// Maps the snapshot for `localHostName`. 0 when the view is listed and
// exported and the record carries status 12, its snap device and no error;
// 1 with status 11 and the record's error set otherwise. When the export
// fails, a view this call appended is removed again; one that was listed
// before is left as it was. The utility object is not used.
ZRSO_EXPORT ZRSO::ResultCode MapSnap(ZRSO::SnapInfo* snapInfo, ZRSO::ZROSUtil* util,
                                     const std::string& localHostName);
