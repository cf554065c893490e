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
  void Save(const std::vector<SnapRecord>& records);
  // False when no record has that id.
  bool Find(const std::string& id, SnapRecord& record);
  // Every record, oldest first.
  std::vector<SnapRecord> List();

 private:
  void SaveOne(const SnapRecord& record);
  void LoadMetadata(SnapRecord& record);

  storage::SqliteDatabase db_;
};

// $SNAPHOST_CATALOGUE, else records.db beside the platform store at
// `storePath`.
std::string CataloguePath(const std::string& storePath);

}  // namespace snaphost
