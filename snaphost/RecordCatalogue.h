#pragma once
// The host's persistent catalogue of snapshot records, so that a record
// snapped in one run can be mapped, checked and unmapped in later ones.

#include <string>
#include <vector>

#include "SnapRecord.h"
#include "SqliteDatabase.h"

namespace snaphost {

class RecordCatalogue {
 public:
  // Opens or creates the catalogue at `path`. Throws storage::SqliteError.
  explicit RecordCatalogue(const std::string& path);

  // The next free snapshot number.
  int NextSnapNumber();
  // Adds the record or replaces the stored one with the same id, metadata
  // included, in one transaction.
  void Save(const SnapRecord& record);
  // Saves the records from `first` to `last` as Save does and adds to the
  // history of each what `operation` left in it, at `at` (seconds since the
  // epoch); all in one transaction.
  void SaveAfter(const std::string& operation, int64_t at,
                 std::vector<SnapRecord>::const_iterator first,
                 std::vector<SnapRecord>::const_iterator last);
  // What every operation left in the record, oldest first.
  std::vector<RecordEvent> History(const std::string& id);
  // False when no record has that id.
  bool Find(const std::string& id, SnapRecord& record);
  // Every record, oldest first.
  std::vector<SnapRecord> List();

 private:
  void SaveOne(const SnapRecord& record);
  void LoadMetadata(SnapRecord& record);

  storage::SqliteDatabase db_;
  // Prepared once, as a batch saves its records one small transaction at a time.
  storage::Statement upsertRecord_;
  storage::Statement deleteMetadata_;
  storage::Statement insertMetadata_;
  storage::Statement insertHistory_;
};

// $SNAPHOST_CATALOGUE, else records.db in the platform's local folder
// (PlatformConfiguration::localFolder).
std::string CataloguePath(const std::string& localFolder);

}  // namespace snaphost
