#pragma once
// Numeric options and arguments. CLI11 reads numbers with strtoull and
// strtoll in base 0, so that left alone it would take "-5" for an unsigned
// value, "010" for 8 and a number too big for the largest one.

#include <CLI/CLI.hpp>
#include <charconv>
#include <limits>
#include <string>

namespace snaphost {

// Accepts only a whole number in decimal from `min` to `max`, and hands it
// on to CLI11 in its plain form (no sign but a minus, no leading zero).
template <typename Number>
CLI::Validator WholeNumber(Number min, Number max) {
  const std::string range =
      "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
  return CLI::Validator(
      [min, max, range](std::string& text) -> std::string {
        Number value{};
        const char* end = text.data() + text.size();
        auto [stop, error] = std::from_chars(text.data(), end, value);
        if (text.empty() || error != std::errc() || stop != end || value < min || value > max) {
          return "[" + text + "] is not " + range;
        }
        text = std::to_string(value);
        return std::string();
      },
      range);
}

// Any whole number that a Number holds.
template <typename Number>
CLI::Validator WholeNumber() {
  return WholeNumber(std::numeric_limits<Number>::min(), std::numeric_limits<Number>::max());
}

// A share subclient id, wherever a command takes one: a positive number that
// fits in 64 bits, as the management database keeps it.
inline CLI::Validator SubclientIdNumber() {
  return WholeNumber<int64_t>(1, std::numeric_limits<int64_t>::max());
}

}  // namespace snaphost
