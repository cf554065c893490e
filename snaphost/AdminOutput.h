#pragma once
// How the administration commands answer: a line saying what a change did,
// and listings, as a table or, with --json, as JSON.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"

namespace snaphost {

// "<subject> added: <now>", "<subject> changed: <now> (was <before>)" or
// "<subject> unchanged: <now>"; `before` is empty when there was nothing.
void ReportChange(const std::string& subject, const std::optional<std::string>& before,
                  const std::string& now);

// A JSON document whose objects keep their keys in the order they were set.
using Json = nlohmann::ordered_json;

// `document` as one line of compact JSON on standard output. A byte that is
// not part of valid UTF-8 (names may hold any byte but NUL) becomes U+FFFD,
// so the line is always valid JSON.
void PrintJsonLine(const Json& document);

// Seconds since the epoch as ISO 8601 UTC: "2026-12-08T02:30:00Z".
std::string UtcTime(int64_t seconds);

struct Column {
  const char* heading;  // in the table
  const char* key;      // in JSON
  bool number = false;  // a JSON number rather than a string
};

// A cell without a value shows as "-" in the table and as null in JSON.
using Cell = std::optional<std::string>;

class Listing {
 public:
  explicit Listing(std::vector<Column> columns) : columns_(std::move(columns)) {}

  // One cell per column, in column order.
  void Add(std::vector<Cell> cells) { rows_.push_back(std::move(cells)); }

  // A heading row and one row per entry, each column as wide as its widest
  // cell; every line ends in a newline.
  std::string Table() const;
  // [{"key":value,...},...]; a number column's text that spells no number
  // stays a string.
  Json JsonRows() const;
  // Table() or JsonRows() on standard output.
  void Print(bool json) const;

 private:
  std::vector<Column> columns_;
  std::vector<std::vector<Cell>> rows_;
};

// Adds the listing command `name` [--json] to `parent`: it prints the rows
// that `fill` adds to a listing of `columns`, and succeeds.
void AddListCommand(CLI::App* parent, const char* name, const char* description,
                    CommandResult& result, std::vector<Column> columns,
                    std::function<void(Listing&)> fill);

}  // namespace snaphost
