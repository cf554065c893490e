#include "AppMgr.h"
#include "Log.h"
#include "NfsServerControl.h"
#include "SnapViewRecord.h"
#include "ViewCatalogue.h"
#include "ViewListAccess.h"
#include "ViewListFormat.h"

namespace {

// Asks the NFS server named in the removed record to stop exporting it. The
// outcome is not acted on: the record goes either way.
void WithdrawExport(const std::string& record, const DeletePITViewArgs& args,
                    const char* function) {
  std::string server;
  GetValueFromXmlString(record, formats::kNfsServerTag, server);
  if (server.empty()) {
    ZRSO_LOG(zrso::LOG_ERROR, function,
             "DEBUG: NFSServer is not set in the PITView [%s]. Will skip Vesk request.",
             args.mntPath.c_str());
    return;
  }
  // A copy: the command may write to it, and the arguments stay as given.
  std::string mountPath = args.mntPath;
  std::string auxiliary;
  SendCommandToNfsServer(server, EXPORT_TYPE_PIT_VIEW, OPERATION_DELETE,
                         static_cast<unsigned long>(args.shareSubclientId), mountPath, auxiliary);
}

}  // namespace

int DeletePITView(DeletePITViewArgs& args, std::string& error) {
  static const char kFunction[] = "int DeletePITView(DeletePITViewArgs&, std::string&)";
  Subclient subclient(static_cast<unsigned long>(args.shareSubclientId));
  std::string list;
  int result = OpenPITViewList(subclient, args.shareName, kFunction, list, error);
  if (result != 0) return result;
  if (list.empty()) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "ERROR: There is no PITViews to delete.");
    return 0;
  }

  const formats::ViewTag mountPath(formats::kMntPathTag);
  std::string kept;
  kept.reserve(list.size());
  bool found = false;
  formats::VisitViewPieces(list, [&](std::string_view piece) {
    if (PieceHasValue(piece, mountPath, args.mntPath)) {
      found = true;
      WithdrawExport(std::string(piece), args, kFunction);
    } else {
      kept += piece;
      kept += formats::kViewSeparator;
    }
    return false;
  });
  if (!found) {
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction,
             "INFO: Given [%s] mount path is not found in Object Store snap. Nothing to delete.",
             args.mntPath.c_str());
    return 0;
  }
  return WritePITViewList(subclient, kept, args.shareName, kFunction, error);
}
