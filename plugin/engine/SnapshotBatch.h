#pragma once
// The snapshot operation of zrso_snapDevices, one record at a time. Taking a
// snapshot of a share creates nothing on the storage side: it checks that
// the record's share, NFS server and share subclient can be derived and
// stamps the current time into the record as its snapshot time.

#include "EntryPointTexts.h"
#include "SnapInfo.h"

// Snapshots one record. 0 when the record was stamped (status 5, error
// cleared, metadata 146 holding the time in decimal seconds since the
// epoch). 1 when its details cannot be derived (status 6, error as the
// extraction set it) or the time cannot be stored (error 83009, status left
// as it was).
ZRSO::ResultCode SnapshotDevice(ZRSO::SnapInfo* snapInfo);
