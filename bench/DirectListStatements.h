#pragma once
// The floor of the view list calls: the two statements the platform store
// runs for one read and one write of a share subclient's list, run straight
// on SQLite over a connection of their own, prepared once.

#include <cstdint>
#include <string>

#include "SqliteDatabase.h"

namespace bench {

class DirectListStatements {
 public:
  // A connection to the platform database at `path`.
  explicit DirectListStatements(const std::string& path);

  // Reads the subclient's list and writes `list` in its place over the
  // version read. False when either statement fails or the write lost.
  bool ReadAndWrite(uint64_t subclientId, const std::string& list);

 private:
  storage::SqliteDatabase db_;
  storage::Statement read_;
  storage::Statement write_;
  std::string readText_;
};

}  // namespace bench
