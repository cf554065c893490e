#include "catalogue/ViewList.h"

std::vector<std::string> SplitViewList(const std::string& list) {
  std::vector<std::string> pieces;
  size_t start = list.find_first_not_of(';');
  while (start != std::string::npos) {
    size_t end = list.find(';', start);
    pieces.push_back(
        list.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? end : list.find_first_not_of(';', end);
  }
  return pieces;
}
