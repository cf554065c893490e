#include <initializer_list>

#include "AppMgr.h"
#include "Log.h"
#include "SnapViewRecord.h"
#include "ViewCatalogue.h"
#include "ViewListAccess.h"
#include "ViewListFormat.h"

namespace {

// Nothing in a record is escaped: a ";" would cut it in two in the list and
// a "<" could start a tag text that shadows the real element.
bool ValuesAreStorable(const CreatePITViewArgs& args, const char* function) {
  for (const std::string* value :
       {&args.toTime, &args.mntPath, &args.nfsClient, &args.uid, &args.gid, &args.snapName,
        &args.copyPrecedence, &args.nfsServerClientName, &args.readOnly, &args.writablePit}) {
    if (value->find_first_of(";<") != std::string::npos) {
      ZRSO_LOG(
          zrso::LOG_ERROR, function,
          "ERROR: PITView value [%s] holds ';' or '<' and cannot be stored for object store [%s].",
          value->c_str(), args.shareName.c_str());
      return false;
    }
  }
  return true;
}

bool NameIsListed(const std::string& list, const std::string& snapName) {
  const formats::ViewTag snapNameTag(formats::kSnapNameTag);
  return formats::VisitViewPieces(
      list, [&](std::string_view piece) { return PieceHasValue(piece, snapNameTag, snapName); });
}

}  // namespace

int32_t CreatePITView(CreatePITViewArgs& args, std::string& error, bool& appended) {
  // The operation's text as the log has always named it: the flag that says
  // whether a record was appended came later, for the caller, and is not
  // part of the name its lines are found by.
  static const char kFunction[] = "int32_t CreatePITView(CreatePITViewArgs&, std::string&)";
  appended = false;
  if (!ValuesAreStorable(args, kFunction)) return ViewListWriteFailure(args.shareName, error);

  Subclient subclient(static_cast<unsigned long>(args.shareSubclientId));
  std::string list;
  int result = ReadPITViewList(subclient, args.shareName, kFunction, list, error);
  if (result != 0) return result;

  if (NameIsListed(list, args.snapName)) {
    ZRSO_LOG(zrso::LOG_NOTICE, kFunction,
             "INFO: PITView name [%s] already present. No need to create again.",
             args.snapName.c_str());
    return 0;
  }

  ZRSO_LOG(zrso::LOG_NOTICE, kFunction, "Copy ID [%s]", args.copyPrecedence.c_str());
  std::string record;
  GetSnapXmlString(record, args.toTime, args.mntPath, args.nfsClient, args.uid, args.gid,
                   args.snapName, args.copyPrecedence, args.nfsServerClientName, args.readOnly,
                   args.writablePit);
  // A stored text that lacks its final ";" would otherwise glue the new
  // record onto the last one, where nobody could find it.
  if (!list.empty() && list.back() != formats::kViewSeparator) list += formats::kViewSeparator;
  list += record;
  list += formats::kViewSeparator;
  result = WritePITViewList(subclient, list, args.shareName, kFunction, error);
  appended = result == 0;
  return result;
}
