#include "catalogue/ViewList.h"

std::vector<std::string> SplitViewList(const std::string& list) {
  std::vector<std::string> pieces;
  VisitViewPieces(list, [&pieces](std::string_view piece) {
    pieces.emplace_back(piece);
    return false;
  });
  return pieces;
}
