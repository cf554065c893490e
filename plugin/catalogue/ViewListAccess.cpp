#include "ViewListAccess.h"

#include "AppMgr.h"
#include "Log.h"
#include "SnapCodes.h"
#include "SnapViewRecord.h"

int ReadPITViewList(Subclient& subclient, const std::string& shareName, const char* function,
                    std::string& list, std::string& error) {
  std::string read;
  if (subclient.getVeskViewConfiguration(read, nullptr) == 0) {
    list = std::move(read);
    return 0;
  }
  ZRSO_LOG(zrso::LOG_ERROR, function, "ERROR: Failed to get current list of PITViews.");
  error = "Failed to get PITview configuration for [" + shareName + "]";
  return ZRSO::ERROR_VIEW_LIST_READ;
}

int OpenPITViewList(Subclient& subclient, const std::string& shareName, const char* function,
                    std::string& list, std::string& error) {
  std::string servers;
  subclient.getVeskNFSServers(servers, nullptr);
  return ReadPITViewList(subclient, shareName, function, list, error);
}

int WritePITViewList(Subclient& subclient, const std::string& list, const std::string& shareName,
                     const char* function, std::string& error) {
  if (subclient.setVeskViewConfiguration(list, nullptr) == 0) return 0;
  ZRSO_LOG(zrso::LOG_ERROR, function,
           "ERROR: Failed to update PITVIews list for object store [%s].", shareName.c_str());
  return ViewListWriteFailure(shareName, error);
}

int ViewListWriteFailure(const std::string& shareName, std::string& error) {
  error = "Failed to set PITview configuration for [" + shareName + "]";
  return ZRSO::ERROR_VIEW_LIST_WRITE;
}

// Lists are scanned piece by piece on every call, so the value is compared
// where it stands instead of being copied out.
bool PieceHasValue(std::string_view piece, const formats::ViewTag& tag, const std::string& wanted) {
  std::string_view value;
  return ReadViewValue(piece, tag, value) && value == wanted;
}
