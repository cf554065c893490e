#pragma once
// The floor of the view list calls: the two statements the platform store
// runs for every read and write of a share subclient's list it keeps (its
// version and token, and the compare-and-swap on the version), run straight
// on SQLite over a connection of their own, prepared once, on a list of
// their own. The pieces a write changes are the platform's part.

#include <cstdint>
#include <string>

#include "SqliteDatabase.h"

namespace bench {

class DirectListStatements {
 public:
  // A connection to the platform database at `path`, and a list of its own there.
  explicit DirectListStatements(const std::string& path);

  // Reads the list's version and writes over it. False when either
  // statement fails or the write lost.
  bool ReadAndWrite();

 private:
  storage::SqliteDatabase db_;
  storage::Statement read_;
  storage::Statement write_;
};

}  // namespace bench
