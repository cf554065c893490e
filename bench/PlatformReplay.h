#pragma once
// The platform's floor: every call the plug-in makes into the platform's
// services (plugin/platform/) for one record of the target share, made
// directly, in the plug-in's order and with its arguments. What an entry
// point takes beyond this is the plug-in's own time. Each returns false when
// a call fails.

#include "BenchPlatform.h"

namespace bench {

// The share-list stored procedure with the request the plug-in sends; its
// answer in `response`.
bool CallShareListProcedure(std::string& response);

// That answer read into a message, as the plug-in reads it.
bool ParseShareList(std::string& response);

// One read of the target's list and one write of `list` in its place.
bool ReadAndWriteList(const BenchPlatform& platform, const std::string& list);

// A snapshot: the share lookup (the request message written, the procedure
// called, the answer read and its entries read up to the target's) and the
// server's host name.
bool ReplaySnapshot(const BenchPlatform& platform);

// A map: the local host name, the share lookup, the server's host name, the
// list read and written with the new view appended, the server started and
// the view exported.
bool ReplayMap(const BenchPlatform& platform);

// An unmap: the share lookup, the server's host name, the subclient's
// servers, the list read, the server started, the export withdrawn and the
// list written without the view.
bool ReplayUnmap(const BenchPlatform& platform);

}  // namespace bench
