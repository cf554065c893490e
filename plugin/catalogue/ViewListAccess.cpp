#include "catalogue/ViewListAccess.h"

#include "catalogue/SnapViewRecord.h"
#include "host/SnapCodes.h"
#include "platform/AppMgr.h"
#include "platform/Log.h"

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

// Each piece is read into a fresh value: a value left over from an earlier
// piece must never make a piece without the tag match.
bool PieceHasValue(const std::string& piece, const std::string& tag, const std::string& wanted) {
  std::string value;
  return GetValueFromXmlString(piece, tag, value) == 0 && value == wanted;
}
