#pragma once
// The NFS share lookup: from the share and the NFS server host name that a
// snapshot's source device gives, to the share's subclient identifier and
// the NFS server's platform client name, through the management database's
// list of every configured NFS share.

#include <cstdint>
#include <string>

#include "PluginExport.h"

// Fetches the share list once and lets the first entry whose share equals
// `share` decide: it matches when `nfsServerClientName` (in: a known client
// name, or empty) equals its client name, or else when its client's network
// host name equals `nfsServerHostName` or names the same machine (tested
// in both directions). On a match `shareSubclientId` gets the entry's
// identifier and, for a match by host name, `nfsServerClientName` the
// entry's client name. An identifier of 0, or one that does not fit in 32
// bits, counts as not found.
//
// Returns 0 with `shareSubclientId` non-zero. On ERROR_SHARE_LIST (the
// share list could not be had) nothing is written but `errorMessage`; on
// ERROR_SHARE_NOT_FOUND (no entry for this share on this server)
// `shareSubclientId` is 0 and `errorMessage` says why. `nfsServerClientName`
// is written only after the last read of `nfsServerHostName`, so both may be
// one object.
ZRSO_EXPORT int32_t FindNfsShare(const std::string& share, const std::string& nfsServerHostName,
                                 std::string& nfsServerClientName, int& shareSubclientId,
                                 std::string& errorMessage);
