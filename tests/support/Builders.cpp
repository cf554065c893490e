#include "support/Builders.h"

#include "DeviceDescriptorFormat.h"
#include "ViewRecordFormat.h"

namespace testsupport {

std::string HostDescriptor(const std::string& lunUuid, const std::string& server) {
  return formats::EscapeSlashes(formats::NfsDeviceDescriptor(lunUuid, server));
}

std::string ViewRecord(const ViewValues& values) {
  return formats::ViewRecordText({values.toTime, values.mntPath, values.nfsClient, "*", "*",
                                  values.snapName, values.nfsServer, values.copyPrecedence, "0",
                                  "1"});
}

}  // namespace testsupport
