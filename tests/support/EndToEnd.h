#pragma once
// What the end-to-end tests share: one batch of host records through an
// entry point of the built plug-in, and what mapping left on the platform.

#include <memory>
#include <string>
#include <vector>

#include "HostSnapInfo.h"
#include "PluginLoader.h"
#include "catalogue/SnapViewRecord.h"
#include "catalogue/ViewList.h"
#include "store/Store.h"

namespace testsupport {

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
                                             const char* tag = "MntPath") {
  std::vector<std::string> values;
  for (const std::string& piece : SplitViewList(store.ReadViewList(subclient).text)) {
    std::string value;
    GetValueFromXmlString(piece, tag, value);
    values.push_back(value);
  }
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

// The mount path that mapping gives `record` on `share`.
inline std::string MountPath(const snaphost::SnapRecord& record, const std::string& share) {
  return "/" + share + "-" + record.id + "_" + std::to_string(record.snapNumber);
}

}  // namespace testsupport
