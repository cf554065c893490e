#pragma once
// Descriptors and view records as the host and the platform hold them,
// built on the formats library.

#include <string>

namespace testsupport {

// The NFS device descriptor of `lunUuid` on `server` as the host hands it to
// the plug-in, each slash written as backslash-slash. A source device names
// the share path ("/share1"), a snap device the view's mount path.
std::string HostDescriptor(const std::string& lunUuid, const std::string& server);

// The values of one view record; those not given are what a mapping at time
// 100 for host client1 writes.
struct ViewValues {
  std::string snapName;
  std::string mntPath;
  std::string nfsServer;
  std::string copyPrecedence = "0";
  std::string toTime = "100";
  std::string nfsClient = "client1";
};

// The view record of `values`, with uid "*", gid "*", read-only "0" and
// writable "1".
std::string ViewRecord(const ViewValues& values);

}  // namespace testsupport
