#pragma once
// Snap details extraction: every fact about one snapshot record that the
// snapshot, map, mapped-check and unmap steps work with.

#include <string>

#include "PluginExport.h"
#include "SnapInfo.h"

// Derives, in this order of writing: `share` (the source device's lunuuid
// without its escaped leading slash and cut at the next separator),
// `snapTime` (metadata 146, when the record holds it), `shareSubclientId`
// (metadata 147, when present), `nfsServerHostName` (the source device's
// targethostname), then `nfsServerClientName` and `shareSubclientId` from the
// NFS share lookup, `mountPath` (the snap device's lunuuid less its first
// character; empty without a snap device or without a lunuuid value in it)
// and `copyId` (the current job's copy-id entry in the platform information
// store, which is removed once read). On success metadata 147 is rewritten
// with the subclient identifier.
//
// Returns 0 on success and 1 on failure, with the record's error set.
// Outputs the failing step had not reached are left unchanged; `mountPath`
// and `copyId` are written only on success, and `snapTime` and `copyId` only
// when the record or the store has a value. A caller may pass one string for
// several outputs it does not need: the last write wins; when
// `nfsServerClientName` and `nfsServerHostName` are one string, the lookup
// takes the host name as the known client name.
ZRSO_EXPORT ZRSO::ResultCode ExtractSnapDetails(ZRSO::SnapInfo* snapInfo, std::string& share,
                                                std::string& mountPath,
                                                std::string& nfsServerClientName,
                                                std::string& nfsServerHostName,
                                                int& shareSubclientId, std::string& snapTime,
                                                std::string& copyId);
