#pragma once
// Status codes, error codes and metadata ids that the plug-in writes into the
// host's snapshot records.

namespace ZRSO {

// Metadata ids.
constexpr int SM_MDT_NFS_SNAP_TIME = 146;           // seconds since the epoch, decimal
constexpr int SM_MDT_NFS_SHARE_SUBCLIENT_ID = 147;  // share subclient id, decimal

// Statuses (setStatus).
constexpr int STATUS_SNAPPED = 5;
constexpr int STATUS_SNAP_FAILED = 6;
constexpr int STATUS_VIEW_EXISTS = 9;
constexpr int STATUS_MAP_FAILED = 11;
constexpr int STATUS_MAPPED = 12;
constexpr int STATUS_UNMAPPED = 14;
constexpr int STATUS_UNMAP_FAILED = 15;

// Error codes (setError). 0 with the empty text clears the error.
constexpr int ERROR_NONE = 0;
constexpr int ERROR_NO_SOURCE_DEVICE = 61002;
constexpr int ERROR_SNAP_UUID = 61004;
constexpr int ERROR_EXPORT_COMMAND = 61054;
constexpr int ERROR_NO_SNAP_TIME = 83001;
constexpr int ERROR_SHARE_NAME_SHORT = 83002;
constexpr int ERROR_VIEW_LIST_READ = 83003;
constexpr int ERROR_VIEW_LIST_WRITE = 83004;
constexpr int ERROR_SHARE_LIST = 83005;
constexpr int ERROR_SHARE_NOT_FOUND = 83006;
constexpr int ERROR_NFS_SERVER_HOST = 83007;
constexpr int ERROR_SET_SNAP_TIME = 83009;

}  // namespace ZRSO
