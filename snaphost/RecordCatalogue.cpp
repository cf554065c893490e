#include "RecordCatalogue.h"

#include <cstdlib>

namespace snaphost {
namespace {

const std::vector<storage::Migration>& CatalogueSchema() {
  static const std::vector<storage::Migration> kSteps = {
      R"sql(
        CREATE TABLE records (
          id              TEXT PRIMARY KEY,
          snap_number     INTEGER NOT NULL,
          source_device   TEXT NOT NULL,
          snap_device     TEXT NOT NULL,
          status          INTEGER NOT NULL,
          error_code      INTEGER NOT NULL,
          error_text      TEXT NOT NULL,
          job_id          INTEGER,
          array_name      TEXT NOT NULL,
          host_identifier TEXT NOT NULL,
          mount_host_name TEXT NOT NULL,
          created_at      INTEGER NOT NULL
        );
        CREATE TABLE record_metadata (
          record_id TEXT NOT NULL REFERENCES records (id) ON DELETE CASCADE,
          id        INTEGER NOT NULL,
          text      TEXT NOT NULL,
          PRIMARY KEY (record_id, id)
        );
      )sql",
      R"sql(
        CREATE TABLE record_history (
          record_id  TEXT NOT NULL REFERENCES records (id) ON DELETE CASCADE,
          at         INTEGER NOT NULL,
          operation  TEXT NOT NULL,
          status     INTEGER NOT NULL,
          error_code INTEGER NOT NULL,
          error_text TEXT NOT NULL
        );
        CREATE INDEX record_history_by_record ON record_history (record_id);
      )sql",
  };
  return kSteps;
}

constexpr const char* kUpsertRecord =
    "INSERT INTO records (id, snap_number, source_device, snap_device, status, error_code, "
    "error_text, job_id, array_name, host_identifier, mount_host_name, created_at) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12) "
    "ON CONFLICT (id) DO UPDATE SET snap_number = excluded.snap_number, "
    "source_device = excluded.source_device, snap_device = excluded.snap_device, "
    "status = excluded.status, error_code = excluded.error_code, error_text = excluded.error_text, "
    "job_id = excluded.job_id, array_name = excluded.array_name, "
    "host_identifier = excluded.host_identifier, mount_host_name = excluded.mount_host_name, "
    "created_at = excluded.created_at";
constexpr const char* kDeleteMetadata = "DELETE FROM record_metadata WHERE record_id = ?1";
constexpr const char* kInsertMetadata =
    "INSERT INTO record_metadata (record_id, id, text) VALUES (?1, ?2, ?3)";
constexpr const char* kInsertHistory =
    "INSERT INTO record_history (record_id, at, operation, status, error_code, error_text) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6)";

// Runs a statement kept for reuse, then makes it ready for the next use.
void RunOnce(storage::Statement& statement) {
  try {
    statement.Run();
  } catch (...) {
    statement.Reset();
    throw;
  }
  statement.Reset();
}

constexpr const char* kSelectRecord =
    "SELECT id, snap_number, source_device, snap_device, status, error_code, error_text, job_id, "
    "array_name, host_identifier, mount_host_name, created_at FROM records ";

SnapRecord ReadRecord(const storage::Statement& row) {
  SnapRecord record;
  record.id = row.ColumnText(0);
  record.snapNumber = static_cast<int>(row.ColumnInt64(1));
  record.sourceDevice = row.ColumnText(2);
  record.snapDevice = row.ColumnText(3);
  record.status = static_cast<int>(row.ColumnInt64(4));
  record.errorCode = static_cast<int>(row.ColumnInt64(5));
  record.errorText = row.ColumnText(6);
  if (!row.ColumnIsNull(7)) record.jobId = static_cast<int>(row.ColumnInt64(7));
  record.arrayName = row.ColumnText(8);
  record.hostIdentifier = row.ColumnText(9);
  record.mountHostName = row.ColumnText(10);
  record.createdAt = row.ColumnInt64(11);
  return record;
}

}  // namespace

std::string CataloguePath(const std::string& localFolder) {
  const char* path = std::getenv("SNAPHOST_CATALOGUE");
  if (path != nullptr && *path != '\0') return path;
  return localFolder + "/records.db";
}

RecordCatalogue::RecordCatalogue(const std::string& path)
    : db_(path, CatalogueSchema()),
      upsertRecord_(db_.Prepare(kUpsertRecord)),
      deleteMetadata_(db_.Prepare(kDeleteMetadata)),
      insertMetadata_(db_.Prepare(kInsertMetadata)),
      insertHistory_(db_.Prepare(kInsertHistory)) {}

int RecordCatalogue::NextSnapNumber() {
  storage::Statement query = db_.Prepare("SELECT COALESCE(MAX(snap_number), 0) + 1 FROM records");
  query.Step();
  return static_cast<int>(query.ColumnInt64(0));
}

void RecordCatalogue::Save(const SnapRecord& record) {
  storage::Transaction transaction(db_);
  SaveOne(record);
  transaction.Commit();
}

void RecordCatalogue::SaveAfter(const std::string& operation, int64_t at,
                                std::vector<SnapRecord>::const_iterator first,
                                std::vector<SnapRecord>::const_iterator last) {
  storage::Transaction transaction(db_);
  for (auto record = first; record != last; ++record) {
    SaveOne(*record);
    insertHistory_.Bind(1, record->id)
        .Bind(2, at)
        .Bind(3, operation)
        .Bind(4, int64_t{record->status})
        .Bind(5, int64_t{record->errorCode})
        .Bind(6, record->errorText);
    RunOnce(insertHistory_);
  }
  transaction.Commit();
}

std::vector<RecordEvent> RecordCatalogue::History(const std::string& id) {
  std::vector<RecordEvent> events;
  storage::Statement query = db_.Prepare(
      "SELECT at, operation, status, error_code, error_text FROM record_history "
      "WHERE record_id = ?1 ORDER BY rowid");
  query.Bind(1, id);
  while (query.Step()) {
    events.push_back({query.ColumnInt64(0), query.ColumnText(1),
                      static_cast<int>(query.ColumnInt64(2)),
                      static_cast<int>(query.ColumnInt64(3)), query.ColumnText(4)});
  }
  return events;
}

void RecordCatalogue::SaveOne(const SnapRecord& record) {
  // job_id must stay NULL unless bound, whatever a save that failed midway left.
  upsertRecord_.Reset();
  upsertRecord_.Bind(1, record.id)
      .Bind(2, int64_t{record.snapNumber})
      .Bind(3, record.sourceDevice)
      .Bind(4, record.snapDevice)
      .Bind(5, int64_t{record.status})
      .Bind(6, int64_t{record.errorCode})
      .Bind(7, record.errorText)
      .Bind(9, record.arrayName)
      .Bind(10, record.hostIdentifier)
      .Bind(11, record.mountHostName)
      .Bind(12, record.createdAt);
  if (record.jobId) upsertRecord_.Bind(8, int64_t{*record.jobId});
  RunOnce(upsertRecord_);

  deleteMetadata_.Bind(1, record.id);
  RunOnce(deleteMetadata_);
  for (const auto& [id, text] : record.metadata) {
    insertMetadata_.Bind(1, record.id).Bind(2, int64_t{id}).Bind(3, text);
    RunOnce(insertMetadata_);
  }
}

void RecordCatalogue::LoadMetadata(SnapRecord& record) {
  storage::Statement query = db_.Prepare("SELECT id, text FROM record_metadata WHERE record_id = ?1");
  query.Bind(1, record.id);
  while (query.Step()) record.metadata[static_cast<int>(query.ColumnInt64(0))] = query.ColumnText(1);
}

bool RecordCatalogue::Find(const std::string& id, SnapRecord& record) {
  storage::Statement query = db_.Prepare((std::string(kSelectRecord) + "WHERE id = ?1").c_str());
  query.Bind(1, id);
  if (!query.Step()) return false;
  record = ReadRecord(query);
  LoadMetadata(record);
  return true;
}

std::vector<SnapRecord> RecordCatalogue::List() {
  std::vector<SnapRecord> records;
  storage::Statement query =
      db_.Prepare((std::string(kSelectRecord) + "ORDER BY snap_number").c_str());
  while (query.Step()) records.push_back(ReadRecord(query));
  for (SnapRecord& record : records) LoadMetadata(record);
  return records;
}

}  // namespace snaphost
