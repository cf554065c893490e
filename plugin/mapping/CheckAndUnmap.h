#pragma once
// The mapped check and unmapping of one snapshot, both starting from the
// mount path that the record's snap device names.

#include "PluginExport.h"
#include "SnapInfo.h"

// 0 when the check ran: status 9 when the view is listed, the record
// untouched when it is not. 1, with the record's error set and its status
// untouched, when the check could not run. The utility object is not used.
ZRSO_EXPORT ZRSO::ResultCode IsMapped(ZRSO::SnapInfo* snapInfo, ZRSO::ZROSUtil* util);

// 0 with status 14 when no view with the mount path is listed any more
// (also when there was none); the record's error is left as it was. 1 with
// status 15 and the record's error set otherwise. The utility object is not used.
ZRSO_EXPORT ZRSO::ResultCode UnMapSnap(ZRSO::SnapInfo* snapInfo, ZRSO::ZROSUtil* util);
