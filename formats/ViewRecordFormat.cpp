#include "ViewRecordFormat.h"

namespace formats {
namespace {

template <typename Searcher>
size_t Find(std::string_view piece, const Searcher& searcher) {
  auto found = searcher(piece.begin(), piece.end()).first;
  return found == piece.end() ? std::string_view::npos : static_cast<size_t>(found - piece.begin());
}

}  // namespace

std::string ViewRecordText(const std::array<std::string_view, kViewRecordFields>& values) {
  std::string record = "<SnapStart>";
  for (size_t field = 0; field < kViewRecordFields; ++field) {
    const char* tag = kViewRecordTags[field];
    record.append("<").append(tag).append(">").append(values[field]);
    record.append("</").append(tag).append(">");
  }
  record.append("</SnapStart>");
  return record;
}

ViewTag::ViewTag(const std::string& name)
    : opening_("<" + name + ">"),
      closing_("</" + name + ">"),
      openingSearcher_(opening_.begin(), opening_.end()),
      closingSearcher_(closing_.begin(), closing_.end()) {}

TagSearch ViewTag::FindValue(std::string_view piece, std::string_view& value) const {
  size_t openAt = Find(piece, openingSearcher_);
  if (openAt == std::string_view::npos) return TagSearch::kNoOpening;
  size_t closeAt = Find(piece, closingSearcher_);
  if (closeAt == std::string_view::npos) return TagSearch::kNoClosing;
  size_t valueAt = openAt + opening_.size();
  // A closing text before the value makes the unsigned length wrap, and
  // substr then takes everything up to the end.
  value = piece.substr(valueAt, closeAt - valueAt);
  return TagSearch::kFound;
}

}  // namespace formats
