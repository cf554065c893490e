#pragma once
// The view list: the view records of one share, each followed by ";", in
// creation order. The empty text means no views.

#include <string>
#include <vector>

// The pieces of `list` between separators, as strtok_r with the delimiter
// set ";" finds them: runs of ";" count as one separator and no piece is
// ever empty. Pieces are copied byte for byte, an embedded NUL included.
std::vector<std::string> SplitViewList(const std::string& list);
