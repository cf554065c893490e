#include "ViewRecordFormat.h"

#include <string.h>

namespace formats {
namespace {

// The C library's substring search needs no table made beforehand, which a
// tag looked up once in a short record would pay for on every lookup.
size_t Find(std::string_view piece, const std::string& text) {
  const void* found = memmem(piece.data(), piece.size(), text.data(), text.size());
  return found == nullptr ? std::string_view::npos
                          : static_cast<size_t>(static_cast<const char*>(found) - piece.data());
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
    : opening_("<" + name + ">"), closing_("</" + name + ">") {}

TagSearch ViewTag::FindValue(std::string_view piece, std::string_view& value) const {
  size_t openAt = Find(piece, opening_);
  if (openAt == std::string_view::npos) return TagSearch::kNoOpening;
  size_t closeAt = Find(piece, closing_);
  if (closeAt == std::string_view::npos) return TagSearch::kNoClosing;
  size_t valueAt = openAt + opening_.size();
  // A closing text before the value makes the unsigned length wrap, and
  // substr then takes everything up to the end.
  value = piece.substr(valueAt, closeAt - valueAt);
  return TagSearch::kFound;
}

}  // namespace formats
