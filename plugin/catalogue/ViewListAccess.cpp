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

namespace {

template <typename Searcher>
size_t Find(std::string_view piece, const Searcher& searcher) {
  auto found = searcher(piece.begin(), piece.end()).first;
  return found == piece.end() ? std::string_view::npos
                              : static_cast<size_t>(found - piece.begin());
}

}  // namespace

ViewTag::ViewTag(const std::string& tagName)
    : name_(tagName),
      opening_("<" + tagName + ">"),
      closing_("</" + tagName + ">"),
      openingSearcher_(opening_.begin(), opening_.end()),
      closingSearcher_(closing_.begin(), closing_.end()) {}

size_t ViewTag::FindOpening(std::string_view piece) const { return Find(piece, openingSearcher_); }

size_t ViewTag::FindClosing(std::string_view piece) const { return Find(piece, closingSearcher_); }

// Lists are scanned piece by piece on every call, so the value is compared
// where it stands instead of being copied out. The bounds are
// GetValueFromXmlString's own, the wrap of a closing text before the value
// included; a piece it would refuse is handed to it, so that it logs that.
bool PieceHasValue(std::string_view piece, const ViewTag& tag, const std::string& wanted) {
  size_t openAt = tag.FindOpening(piece);
  size_t closeAt = tag.FindClosing(piece);
  if (openAt == std::string_view::npos || closeAt == std::string_view::npos) {
    std::string refused;
    GetValueFromXmlString(std::string(piece), tag.name(), refused);
    return false;
  }
  size_t valueAt = openAt + tag.opening().size();
  return piece.substr(valueAt, closeAt - valueAt) == wanted;
}
