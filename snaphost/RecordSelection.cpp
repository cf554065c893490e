#include "RecordSelection.h"

#include "DeviceDescriptorFormat.h"
#include "HostContext.h"

namespace snaphost {

std::string RecordShare(const SnapRecord& record) {
  std::string share;
  formats::DescriptorValue(record.sourceDevice, formats::kLunUuidKey, share);
  return share;
}

std::vector<SnapRecord> SelectRecords(RecordCatalogue& catalogue,
                                      const std::vector<std::string>& ids,
                                      const std::string& share) {
  std::vector<SnapRecord> selected;
  if (!ids.empty()) {
    for (const std::string& id : ids) {
      SnapRecord record;
      if (!catalogue.Find(id, record)) throw HostError("no record with id " + id);
      selected.push_back(std::move(record));
    }
    return selected;
  }
  for (SnapRecord& record : catalogue.List()) {
    if (share.empty() || RecordShare(record) == share) selected.push_back(std::move(record));
  }
  return selected;
}

}  // namespace snaphost
