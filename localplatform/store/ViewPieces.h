#pragma once
// A view list is stored as its pieces, each a row of its own at a position,
// so that a write stores only what changed: a map appends one piece, an
// unmap removes one. A piece is a run of records, each up to and including
// its ";" (the last may lack one), of at most 4 KiB unless one record is
// longer. Pieces are read back in the order of their positions and joined,
// which gives the very bytes written, whatever the text.
//
// Positions are spaced so that pieces can be put between two others; when
// there is no room left between them, the list is stored afresh.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace localplatform {

// The bounds of a position range that take in every position there is:
// positions stay within half the range either way.
constexpr int64_t kBeforeAnyPiece = std::numeric_limits<int64_t>::min();
constexpr int64_t kAfterAnyPiece = std::numeric_limits<int64_t>::max();

// A list as stored: its text, and of each piece its position and where it
// ends in the text, in the order of their positions.
struct StoredViewList {
  int64_t version = 0;
  int64_t token = 0;  // random, new with every write
  std::string text;
  std::vector<int64_t> positions;
  std::vector<size_t> ends;

  // Adds the next piece, at `position`.
  void Append(int64_t position, std::string_view piece);
};

// What a write changes of a stored list: the pieces strictly between
// `after` and `before` go, all but the first `keptFront` and the last
// `keptBack`, and `pieces` come in their place at `positions`.
struct PieceEdit {
  int64_t after = kBeforeAnyPiece;
  int64_t before = kAfterAnyPiece;
  size_t keptFront = 0;
  size_t keptBack = 0;
  std::vector<std::string_view> pieces;  // views into the new text
  std::vector<int64_t> positions;

  bool RemovesAny(const StoredViewList& stored) const;
  // `stored` as it stands once the edit is stored, `text` being what it
  // was made from.
  StoredViewList Applied(StoredViewList stored, std::string_view text) const;
};

// The pieces `text` is stored as when it is stored afresh.
std::vector<std::string_view> SplitViewPieces(std::string_view text);

// The edit that turns `stored` into `text`: the pieces both share at the
// start and at the end stay, the rest is replaced by the pieces of what lies
// between them in `text`.
PieceEdit EditViewPieces(const StoredViewList& stored, std::string_view text);

}  // namespace localplatform
