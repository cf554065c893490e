#pragma once
// The view list: the view records of one share, each followed by ";", in
// creation order. The empty text means no views.

#include <string>
#include <string_view>
#include <vector>

namespace formats {

constexpr char kViewSeparator = ';';

// Hands the pieces of `list` between separators to `visit`, in order and
// without copying them, as strtok_r with the delimiter set ";" finds them:
// runs of ";" count as one separator and no piece is ever empty. Stops at
// the first piece for which `visit` returns true; returns whether it did.
// The pieces point into `list`.
template <typename Visit>
bool VisitViewPieces(const std::string& list, Visit visit) {
  size_t start = list.find_first_not_of(kViewSeparator);
  while (start != std::string::npos) {
    size_t end = list.find(kViewSeparator, start);
    size_t length = (end == std::string::npos ? list.size() : end) - start;
    if (visit(std::string_view(list.data() + start, length))) return true;
    start = end == std::string::npos ? end : list.find_first_not_of(kViewSeparator, end);
  }
  return false;
}

// The same pieces, copied byte for byte, an embedded NUL included.
inline std::vector<std::string> SplitViewList(const std::string& list) {
  std::vector<std::string> pieces;
  VisitViewPieces(list, [&pieces](std::string_view piece) {
    pieces.emplace_back(piece);
    return false;
  });
  return pieces;
}

}  // namespace formats
