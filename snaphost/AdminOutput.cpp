#include "AdminOutput.h"

#include <algorithm>
#include <ctime>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

namespace snaphost {
namespace {

const std::string kNoValue = "-";

const std::string& CellText(const Cell& cell) { return cell ? *cell : kNoValue; }

Json NumberOrText(const std::string& text) {
  Json number = Json::parse(text, nullptr, false);
  return number.is_number() ? number : Json(text);
}

}  // namespace

void ReportChange(const std::string& subject, const std::optional<std::string>& before,
                  const std::string& now) {
  if (!before) {
    std::cout << subject << " added: " << now << "\n";
  } else if (*before != now) {
    std::cout << subject << " changed: " << now << " (was " << *before << ")\n";
  } else {
    std::cout << subject << " unchanged: " << now << "\n";
  }
}

void PrintJsonLine(const Json& document) {
  std::cout << document.dump(-1, ' ', false, Json::error_handler_t::replace) << "\n";
}

std::string UtcTime(int64_t seconds) {
  std::time_t time = static_cast<std::time_t>(seconds);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[32];
  std::strftime(text, sizeof(text), "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

std::string Listing::Table() const {
  std::vector<size_t> widths;
  for (size_t column = 0; column < columns_.size(); ++column) {
    size_t width = std::string(columns_[column].heading).size();
    for (const auto& row : rows_) width = std::max(width, CellText(row[column]).size());
    widths.push_back(width);
  }
  auto line = [&](auto textOf) {
    std::string text;
    for (size_t column = 0; column < columns_.size(); ++column) {
      const std::string cell = textOf(column);
      text += cell;
      if (column + 1 < columns_.size()) text += std::string(widths[column] - cell.size() + 2, ' ');
    }
    return text + "\n";
  };
  std::string table = line([&](size_t column) { return std::string(columns_[column].heading); });
  for (const auto& row : rows_) table += line([&](size_t column) { return CellText(row[column]); });
  return table;
}

Json Listing::JsonRows() const {
  Json rows = Json::array();
  for (const auto& row : rows_) {
    Json& object = rows.emplace_back(Json::object());
    for (size_t column = 0; column < columns_.size(); ++column) {
      const Cell& cell = row[column];
      Json& value = object[columns_[column].key];  // null until set
      if (cell) value = columns_[column].number ? NumberOrText(*cell) : Json(*cell);
    }
  }
  return rows;
}

void Listing::Print(bool json) const {
  if (json) {
    PrintJsonLine(JsonRows());
  } else {
    std::cout << Table();
  }
}

void AddListCommand(CLI::App* parent, const char* name, const char* description,
                    CommandResult& result, std::vector<Column> columns,
                    std::function<void(Listing&)> fill) {
  auto json = std::make_shared<bool>(false);
  CLI::App* command = parent->add_subcommand(name, description);
  command->add_flag("--json", *json, "Print the listing as JSON");
  command->callback([json, &result, columns = std::move(columns), fill = std::move(fill)] {
    Listing listing(columns);
    fill(listing);
    listing.Print(*json);
    result.exitCode = 0;
  });
}

}  // namespace snaphost
