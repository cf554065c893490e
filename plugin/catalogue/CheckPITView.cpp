#include "AppMgr.h"
#include "Log.h"
#include "ViewCatalogue.h"
#include "ViewListAccess.h"
#include "ViewListFormat.h"

int CheckPITView(CheckPITViewArgs& args, bool& exists, std::string& error) {
  static const char kFunction[] = "int CheckPITView(CheckPITViewArgs&, bool&, std::string&)";
  Subclient subclient(static_cast<unsigned long>(args.shareSubclientId));
  std::string list;
  int result = OpenPITViewList(subclient, args.shareName, kFunction, list, error);
  if (result != 0) return result;

  exists = false;
  if (list.empty()) {
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "INFO: There are no PITviews in given share [%s].",
             args.shareName.c_str());
    return 0;
  }
  const formats::ViewTag mountPath(formats::kMntPathTag);
  if (formats::VisitViewPieces(list, [&](std::string_view piece) {
        return PieceHasValue(piece, mountPath, args.mntPath);
      })) {
    exists = true;
    return 0;
  }
  ZRSO_LOG(zrso::LOG_NOTICE, kFunction,
           "INFO: Given [%s] mount path is not found in Object Store PITView list.",
           args.mntPath.c_str());
  return 0;
}
