#pragma once
// What the end-to-end tests share: one batch of host records through an
// entry point of the built plug-in, and what mapping left on the platform.

#include <memory>
#include <string>
#include <vector>

#include "DeviceDescriptorFormat.h"
#include "HostSnapInfo.h"
#include "MountPath.h"
#include "PluginLoader.h"
#include "ViewListFormat.h"
#include "ViewRecordFormat.h"
#include "admin/Store.h"

namespace testsupport {

// A record of snapshot `id` number `number` of `share` on NFS server `server`.
inline snaphost::SnapRecord ShareRecord(const std::string& id, int number, const std::string& share,
                                        const std::string& server) {
  snaphost::SnapRecord record;
  record.id = id;
  record.snapNumber = number;
  record.sourceDevice = formats::NfsDeviceDescriptor("/" + share, server);
  return record;
}

// Runs `entry` on `records` as one batch; a null pointer stands for each
// index in `nullAt`. The count passed is the array's length.
inline int CallEntry(snaphost::BatchEntry entry, const std::vector<snaphost::SnapRecord*>& records,
                     const std::vector<size_t>& nullAt = {}) {
  std::vector<std::unique_ptr<snaphost::HostSnapInfo>> host;
  std::vector<ZRSO::SnapInfo*> batch;
  for (snaphost::SnapRecord* record : records) {
    host.push_back(std::make_unique<snaphost::HostSnapInfo>(*record));
    batch.push_back(host.back().get());
  }
  for (size_t index : nullAt) batch.insert(batch.begin() + index, nullptr);
  return entry(batch.data(), static_cast<int16_t>(batch.size()), nullptr);
}

// The value of `tag` in each view of the subclient's list, in list order.
inline std::vector<std::string> ListedValues(localplatform::Store& store, int64_t subclient,
                                             const char* tag = formats::kMntPathTag) {
  std::vector<std::string> values;
  const formats::ViewTag element(tag);
  formats::VisitViewPieces(store.ReadViewList(subclient).text, [&](std::string_view piece) {
    std::string_view value;
    element.FindValue(piece, value);
    values.emplace_back(value);
    return false;
  });
  return values;
}

// The mount paths that the machine `host` exports, in order.
inline std::vector<std::string> ExportedMountPaths(localplatform::Store& store,
                                                   const std::string& host) {
  std::vector<std::string> paths;
  for (const localplatform::ExportRow& row : store.ListExports()) {
    if (row.hostName == host) paths.push_back(row.mountPath);
  }
  return paths;
}

// The mount path that mapping gives `record` on `share`: its view is named
// after the snapshot's UUID and number.
inline std::string MountPath(const snaphost::SnapRecord& record, const std::string& share) {
  return formats::ViewMountPath(share, record.id + "_" + std::to_string(record.snapNumber));
}

}  // namespace testsupport
