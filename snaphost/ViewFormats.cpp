#include "ViewFormats.h"

#include "DeviceDescriptorFormat.h"
#include "MountPath.h"
#include "ViewListFormat.h"
#include "ViewRecordFormat.h"

namespace snaphost {

std::vector<ListedView> ReadViewList(const std::string& list) {
  const formats::ViewTag name(formats::kSnapNameTag);
  const formats::ViewTag mountPath(formats::kMntPathTag);
  const formats::ViewTag server(formats::kNfsServerTag);
  std::vector<ListedView> views;
  formats::VisitViewPieces(list, [&](std::string_view piece) {
    ListedView view;
    view.piece = std::string(piece);
    std::string_view nameValue, mountPathValue, serverValue;
    view.readable = name.FindValue(piece, nameValue) == formats::TagSearch::kFound &&
                    mountPath.FindValue(piece, mountPathValue) == formats::TagSearch::kFound;
    if (view.readable) {
      view.name = nameValue;
      view.mountPath = mountPathValue;
      if (server.FindValue(piece, serverValue) == formats::TagSearch::kFound) {
        view.serverClientName = serverValue;
      }
    }
    views.push_back(std::move(view));
    return false;
  });
  return views;
}

std::string RecordViewName(const SnapRecord& record) {
  return formats::ViewName(record.id, record.snapNumber);
}

std::string SnapDeviceMountPath(const SnapRecord& record) {
  std::string mountPath;
  formats::DescriptorValue(record.snapDevice, formats::kLunUuidKey, mountPath);
  return mountPath;
}

}  // namespace snaphost
