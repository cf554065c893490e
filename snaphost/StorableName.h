#pragma once
// Client, share and host names on the command line: refused before any
// work by the rule the platform store keeps them by (admin/StorableRows.h).

#include <CLI/CLI.hpp>
#include <string>

#include "admin/StorableRows.h"

namespace snaphost {

// Accepts a name the store keeps as its `field` ("client name", ...).
inline CLI::Validator StorableName(const char* field) {
  return CLI::Validator(
      [field](std::string& name) { return localplatform::NameRefusal(field, name); }, "");
}

}  // namespace snaphost
