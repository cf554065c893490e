#include "ViewFormats.h"

#include "catalogue/SnapViewRecord.h"
#include "catalogue/ViewList.h"
#include "identification/DeviceDescriptor.h"

namespace snaphost {

std::vector<ListedView> ReadViewList(const std::string& list) {
  std::vector<ListedView> views;
  for (std::string& piece : SplitViewList(list)) {
    ListedView view;
    view.readable = GetValueFromXmlString(piece, "SnapName", view.name) == 0 &&
                    GetValueFromXmlString(piece, "MntPath", view.mountPath) == 0;
    if (!view.readable) {
      view.name.clear();
      view.mountPath.clear();
    } else {
      GetValueFromXmlString(piece, "NFSServer", view.serverClientName);
    }
    view.piece = std::move(piece);
    views.push_back(std::move(view));
  }
  return views;
}

std::string RecordViewName(const SnapRecord& record) {
  return record.id + "_" + NumToStr(record.snapNumber);
}

std::string SnapDeviceMountPath(const SnapRecord& record) {
  std::string mountPath;
  GetJsonVal(record.snapDevice, "lunuuid", mountPath);
  return mountPath;
}

}  // namespace snaphost
