#include "ViewRecordFormat.h"

#include <emmintrin.h>

#include <cstring>

namespace formats {
namespace {

// Every map and unmap searches each record of a list for a tag text, so the
// search is what a long list costs. Sixteen places at a time are tried for
// the text's first and last byte at once, and the rest is compared only
// where both match: a tag text ends in ">" and starts with "<", which few
// other pairs of bytes that far apart do.
size_t Find(std::string_view piece, const std::string& text) {
  const size_t length = text.size();
  if (length < 2 || length > piece.size()) return piece.find(text);
  const size_t places = piece.size() - length + 1;
  const __m128i first = _mm_set1_epi8(text.front());
  const __m128i last = _mm_set1_epi8(text.back());
  size_t at = 0;
  for (; at + 16 <= places; at += 16) {
    const char* block = piece.data() + at;
    const __m128i firsts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
    const __m128i lasts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + length - 1));
    auto both = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(firsts, first), _mm_cmpeq_epi8(lasts, last))));
    for (; both != 0; both &= both - 1) {
      const unsigned place = static_cast<unsigned>(__builtin_ctz(both));
      if (std::memcmp(block + place + 1, text.data() + 1, length - 2) == 0) return at + place;
    }
  }
  const size_t rest = piece.substr(at).find(text);
  return rest == std::string_view::npos ? rest : at + rest;
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
