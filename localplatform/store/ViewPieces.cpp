#include "store/ViewPieces.h"

#include <algorithm>
#include <cstring>

namespace localplatform {
namespace {

constexpr int64_t kPieceSpacing = 1024;
// Records are put together into pieces of about this size: a list is then
// read and copied in as few rows as a page holds, and a change still
// rewrites only its few.
constexpr size_t kPieceBytes = 4096;
constexpr int64_t kPositionLimit = std::numeric_limits<int64_t>::max() / 2;

// Lists are long and mostly equal: blocks are compared at memcmp's speed
// and only the block that differs byte by byte.
constexpr size_t kBlock = 4096;

size_t CommonPrefix(std::string_view a, std::string_view b) {
  const size_t limit = std::min(a.size(), b.size());
  size_t at = 0;
  while (at + kBlock <= limit && std::memcmp(a.data() + at, b.data() + at, kBlock) == 0) {
    at += kBlock;
  }
  while (at < limit && a[at] == b[at]) ++at;
  return at;
}

// Of at most `limit` bytes.
size_t CommonSuffix(std::string_view a, std::string_view b, size_t limit) {
  const char* endA = a.data() + a.size();
  const char* endB = b.data() + b.size();
  size_t length = 0;
  while (length + kBlock <= limit &&
         std::memcmp(endA - length - kBlock, endB - length - kBlock, kBlock) == 0) {
    length += kBlock;
  }
  while (length < limit &&
         endA[-1 - static_cast<ptrdiff_t>(length)] == endB[-1 - static_cast<ptrdiff_t>(length)]) {
    ++length;
  }
  return length;
}

size_t PieceStart(const StoredViewList& stored, size_t piece) {
  return piece == 0 ? 0 : stored.ends[piece - 1];
}

// Positions for `count` pieces strictly between `after` and `before`, or
// none when there is no room.
bool Place(int64_t after, int64_t before, size_t count, std::vector<int64_t>& positions) {
  const auto wanted = static_cast<int64_t>(count);
  if (after == kBeforeAnyPiece && before == kAfterAnyPiece) {
    after = -kPieceSpacing;
  } else if (before == kAfterAnyPiece) {
    if (after > kPositionLimit - kPieceSpacing * (wanted + 1)) return false;
  } else if (after == kBeforeAnyPiece) {
    if (before < -kPositionLimit + kPieceSpacing * (wanted + 1)) return false;
    after = before - kPieceSpacing * (wanted + 1);
  }
  const int64_t step = before == kAfterAnyPiece ? kPieceSpacing : (before - after) / (wanted + 1);
  if (step < 1) return false;
  for (int64_t piece = 1; piece <= wanted; ++piece) positions.push_back(after + step * piece);
  return true;
}

}  // namespace

void StoredViewList::Append(int64_t position, std::string_view piece) {
  text.append(piece);
  positions.push_back(position);
  ends.push_back(text.size());
}

bool PieceEdit::RemovesAny(const StoredViewList& stored) const {
  const auto first = std::upper_bound(stored.positions.begin(), stored.positions.end(), after);
  return first != stored.positions.end() && *first < before;
}

// The shared start and end are the stored text's already: only what lies
// between them is copied, into the buffer the stored text has.
StoredViewList PieceEdit::Applied(StoredViewList stored, std::string_view text) const {
  const size_t count = stored.ends.size();
  const size_t frontBytes = PieceStart(stored, keptFront);
  const size_t backStart = PieceStart(stored, count - keptBack);
  const auto growth = static_cast<ptrdiff_t>(text.size() - stored.text.size());
  std::vector<size_t> middleEnds;
  size_t end = frontBytes;
  for (std::string_view piece : pieces) middleEnds.push_back(end += piece.size());
  for (size_t piece = count - keptBack; piece < count; ++piece) {
    stored.ends[piece] = static_cast<size_t>(static_cast<ptrdiff_t>(stored.ends[piece]) + growth);
  }
  stored.ends.erase(stored.ends.begin() + keptFront, stored.ends.end() - keptBack);
  stored.ends.insert(stored.ends.begin() + keptFront, middleEnds.begin(), middleEnds.end());
  stored.positions.erase(stored.positions.begin() + keptFront, stored.positions.end() - keptBack);
  stored.positions.insert(stored.positions.begin() + keptFront, positions.begin(), positions.end());
  const size_t backBytes = stored.text.size() - backStart;
  stored.text.replace(frontBytes, backStart - frontBytes,
                      text.substr(frontBytes, text.size() - frontBytes - backBytes));
  return stored;
}

std::vector<std::string_view> SplitViewPieces(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    do {
      const size_t semicolon = text.find(';', end);
      const size_t next = semicolon == std::string_view::npos ? text.size() : semicolon + 1;
      if (end > start && next - start > kPieceBytes) break;
      end = next;
    } while (end < text.size());
    pieces.push_back(text.substr(start, end - start));
    start = end;
  }
  return pieces;
}

PieceEdit EditViewPieces(const StoredViewList& stored, std::string_view text) {
  const std::string_view old = stored.text;
  const size_t prefix = CommonPrefix(old, text);
  const size_t suffix = CommonSuffix(old, text, std::min(old.size(), text.size()) - prefix);
  const size_t count = stored.ends.size();
  // Pieces that end within the shared start stay, and those that begin
  // within the shared end.
  const size_t front =
      std::upper_bound(stored.ends.begin(), stored.ends.end(), prefix) - stored.ends.begin();
  size_t back = count;
  while (back > front && PieceStart(stored, back - 1) >= old.size() - suffix) --back;

  PieceEdit edit;
  edit.keptFront = front;
  edit.keptBack = count - back;
  if (front > 0) edit.after = stored.positions[front - 1];
  if (back < count) edit.before = stored.positions[back];
  const size_t middleStart = PieceStart(stored, front);
  const size_t middleEnd = text.size() - (old.size() - PieceStart(stored, back));
  edit.pieces = SplitViewPieces(text.substr(middleStart, middleEnd - middleStart));
  if (!Place(edit.after, edit.before, edit.pieces.size(), edit.positions)) {
    edit = PieceEdit();
    edit.pieces = SplitViewPieces(text);
    Place(edit.after, edit.before, edit.pieces.size(), edit.positions);
  }
  return edit;
}

}  // namespace localplatform
