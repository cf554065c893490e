#pragma once
// JSON output of snaphost commands, written by hand: the one thing that
// needs care is the text of a string.

#include <string>

namespace snaphost {

// `text` as a JSON string, quotes included. Quotes, backslashes and control
// characters are escaped; a byte that is not part of valid UTF-8 becomes
// U+FFFD, so the output is always valid JSON.
std::string JsonString(const std::string& text);

}  // namespace snaphost
