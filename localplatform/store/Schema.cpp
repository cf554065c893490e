#include "store/Schema.h"

namespace localplatform {
namespace {

// The same step on either database.
constexpr char kFaultCallsStep[] = R"sql(
  ALTER TABLE faults ADD COLUMN nth INTEGER NOT NULL DEFAULT 1;
  ALTER TABLE faults ADD COLUMN onward INTEGER NOT NULL DEFAULT 1;
)sql";

}  // namespace

const std::vector<storage::Migration>& SqliteSchema() {
  static const std::vector<storage::Migration> kSteps = {
      // 1: management database, information store, view configuration,
      // file-server machines and their exports.
      R"sql(
        CREATE TABLE clients (
          name      TEXT PRIMARY KEY,
          host_name TEXT NOT NULL
        );
        CREATE TABLE nfs_shares (
          position           INTEGER PRIMARY KEY AUTOINCREMENT,
          share              TEXT NOT NULL,
          server_client_name TEXT NOT NULL,
          subclient_id       INTEGER NOT NULL
        );
        CREATE TABLE platform_info (
          section TEXT NOT NULL,
          key     TEXT NOT NULL,
          value   INTEGER NOT NULL,
          PRIMARY KEY (section, key)
        );
        CREATE TABLE view_lists (
          subclient_id INTEGER PRIMARY KEY,
          list_text    TEXT NOT NULL,
          version      INTEGER NOT NULL
        );
        CREATE TABLE nfs_servers (
          host_name TEXT PRIMARY KEY,
          up        INTEGER NOT NULL
        );
        CREATE TABLE exports (
          host_name    TEXT NOT NULL,
          subclient_id INTEGER NOT NULL,
          mount_path   TEXT NOT NULL,
          export_type  INTEGER NOT NULL,
          exported_at  INTEGER NOT NULL,
          PRIMARY KEY (host_name, subclient_id, mount_path)
        );
      )sql",
      // 2: faults injected by an administrator; an empty scope means every
      // subject.
      R"sql(
        CREATE TABLE faults (
          name  TEXT NOT NULL,
          scope TEXT NOT NULL,
          PRIMARY KEY (name, scope)
        );
      )sql",
      // 3: a stamp that changes with every change to the share table, made
      // by any connection, so that an answer built from the table can be
      // served again until it does. The stamps are random, so that two
      // databases are told apart as well.
      R"sql(
        CREATE TABLE share_list_stamp (
          stamp INTEGER NOT NULL
        );
        INSERT INTO share_list_stamp (stamp) VALUES (random());
        CREATE TRIGGER share_added AFTER INSERT ON nfs_shares
          BEGIN UPDATE share_list_stamp SET stamp = random(); END;
        CREATE TRIGGER share_changed AFTER UPDATE ON nfs_shares
          BEGIN UPDATE share_list_stamp SET stamp = random(); END;
        CREATE TRIGGER share_removed AFTER DELETE ON nfs_shares
          BEGIN UPDATE share_list_stamp SET stamp = random(); END;
      )sql",
      // 4: a share is configured once per server. A repeated row was never
      // looked at (the lookup stops at the first row of a share), so it goes.
      R"sql(
        DELETE FROM nfs_shares WHERE position NOT IN
          (SELECT MIN(position) FROM nfs_shares GROUP BY share, server_client_name);
        CREATE UNIQUE INDEX nfs_share_per_server ON nfs_shares (share, server_client_name);
      )sql",
      // 5: as for the shares, a stamp for the faults, so that a call finds
      // out with one row whether the faults it knows are still those set;
      // and the shares of one subclient found without a walk of the table.
      R"sql(
        CREATE TABLE fault_stamp (
          stamp INTEGER NOT NULL
        );
        INSERT INTO fault_stamp (stamp) VALUES (random());
        CREATE TRIGGER fault_set AFTER INSERT ON faults
          BEGIN UPDATE fault_stamp SET stamp = random(); END;
        CREATE TRIGGER fault_changed AFTER UPDATE ON faults
          BEGIN UPDATE fault_stamp SET stamp = random(); END;
        CREATE TRIGGER fault_cleared AFTER DELETE ON faults
          BEGIN UPDATE fault_stamp SET stamp = random(); END;
        CREATE INDEX nfs_shares_by_subclient ON nfs_shares (subclient_id);
      )sql",
      // 6: which calls a fault fails (FaultRow); a fault set before fails
      // every call, as it did.
      kFaultCallsStep,
      // 7: view lists kept as their pieces (store/ViewPieces.h). A list
      // stored whole becomes one piece, which the next write splits where
      // it changes it; every list keeps its version and gets token 0.
      R"sql(
        CREATE TABLE view_pieces (
          subclient_id INTEGER NOT NULL,
          position     INTEGER NOT NULL,
          piece        BLOB NOT NULL,
          PRIMARY KEY (subclient_id, position)
        );
        INSERT INTO view_pieces (subclient_id, position, piece)
          SELECT subclient_id, 0, list_text FROM view_lists WHERE list_text <> '';
        ALTER TABLE view_lists DROP COLUMN list_text;
        ALTER TABLE view_lists ADD COLUMN token INTEGER NOT NULL DEFAULT 0;
      )sql",
  };
  return kSteps;
}

// As SQLite's schema stood at its step 5, in one step, then texts kept as
// bytes, then the steps SQLite took since. Names and identifiers sort by
// their bytes, as in SQLite, whatever the database's collation. Stamps are kept by statement
// triggers: a statement that changes many rows moves its stamp once.
const std::vector<storage::Migration>& PostgresSchema() {
  static const std::vector<storage::Migration> kSteps = {
      R"sql(
        CREATE TABLE clients (
          name      TEXT COLLATE "C" PRIMARY KEY,
          host_name TEXT NOT NULL
        );
        CREATE TABLE nfs_shares (
          position           BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
          share              TEXT COLLATE "C" NOT NULL,
          server_client_name TEXT COLLATE "C" NOT NULL,
          subclient_id       BIGINT NOT NULL,
          UNIQUE (share, server_client_name)
        );
        CREATE INDEX nfs_shares_by_subclient ON nfs_shares (subclient_id);
        CREATE TABLE platform_info (
          section TEXT COLLATE "C" NOT NULL,
          key     TEXT COLLATE "C" NOT NULL,
          value   BIGINT NOT NULL,
          PRIMARY KEY (section, key)
        );
        CREATE TABLE view_lists (
          subclient_id BIGINT PRIMARY KEY,
          list_text    TEXT NOT NULL,
          version      BIGINT NOT NULL
        );
        CREATE TABLE nfs_servers (
          host_name TEXT COLLATE "C" PRIMARY KEY,
          up        INTEGER NOT NULL
        );
        CREATE TABLE exports (
          host_name    TEXT COLLATE "C" NOT NULL,
          subclient_id BIGINT NOT NULL,
          mount_path   TEXT COLLATE "C" NOT NULL,
          export_type  INTEGER NOT NULL,
          exported_at  BIGINT NOT NULL,
          PRIMARY KEY (host_name, subclient_id, mount_path)
        );
        CREATE TABLE faults (
          name  TEXT COLLATE "C" NOT NULL,
          scope TEXT COLLATE "C" NOT NULL,
          PRIMARY KEY (name, scope)
        );

        CREATE FUNCTION random_stamp() RETURNS BIGINT LANGUAGE sql VOLATILE
          AS $$ SELECT (floor(random() * 9.0e18) - 4.5e18)::BIGINT $$;
        -- Sets the stamp in the table named by the trigger's argument anew.
        CREATE FUNCTION move_stamp() RETURNS TRIGGER LANGUAGE plpgsql AS $$
          BEGIN
            EXECUTE format('UPDATE %I SET stamp = random_stamp()', TG_ARGV[0]);
            RETURN NULL;
          END $$;
        CREATE TABLE share_list_stamp (stamp BIGINT NOT NULL);
        INSERT INTO share_list_stamp (stamp) VALUES (random_stamp());
        CREATE TRIGGER share_list_changed
          AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON nfs_shares
          FOR EACH STATEMENT EXECUTE FUNCTION move_stamp('share_list_stamp');
        CREATE TABLE fault_stamp (stamp BIGINT NOT NULL);
        INSERT INTO fault_stamp (stamp) VALUES (random_stamp());
        CREATE TRIGGER faults_changed
          AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON faults
          FOR EACH STATEMENT EXECUTE FUNCTION move_stamp('fault_stamp');
      )sql",
      // 2: every text as its bytes, as SQLite keeps it: one that is not
      // UTF-8, or holds a NUL byte (as a view list may), is kept too. Keys
      // and indexes are rebuilt on the bytes, which sort as the "C"
      // collation did.
      R"sql(
        ALTER TABLE clients
          ALTER COLUMN name TYPE BYTEA USING convert_to(name, 'UTF8'),
          ALTER COLUMN host_name TYPE BYTEA USING convert_to(host_name, 'UTF8');
        ALTER TABLE nfs_shares
          ALTER COLUMN share TYPE BYTEA USING convert_to(share, 'UTF8'),
          ALTER COLUMN server_client_name TYPE BYTEA USING convert_to(server_client_name, 'UTF8');
        ALTER TABLE platform_info
          ALTER COLUMN section TYPE BYTEA USING convert_to(section, 'UTF8'),
          ALTER COLUMN key TYPE BYTEA USING convert_to(key, 'UTF8');
        ALTER TABLE view_lists
          ALTER COLUMN list_text TYPE BYTEA USING convert_to(list_text, 'UTF8');
        ALTER TABLE nfs_servers
          ALTER COLUMN host_name TYPE BYTEA USING convert_to(host_name, 'UTF8');
        ALTER TABLE exports
          ALTER COLUMN host_name TYPE BYTEA USING convert_to(host_name, 'UTF8'),
          ALTER COLUMN mount_path TYPE BYTEA USING convert_to(mount_path, 'UTF8');
        ALTER TABLE faults
          ALTER COLUMN name TYPE BYTEA USING convert_to(name, 'UTF8'),
          ALTER COLUMN scope TYPE BYTEA USING convert_to(scope, 'UTF8');
      )sql",
      // 3: as SQLite's step 6.
      kFaultCallsStep,
      // 4: as SQLite's step 7.
      R"sql(
        CREATE TABLE view_pieces (
          subclient_id BIGINT NOT NULL,
          position     BIGINT NOT NULL,
          piece        BYTEA NOT NULL,
          PRIMARY KEY (subclient_id, position)
        );
        INSERT INTO view_pieces (subclient_id, position, piece)
          SELECT subclient_id, 0, list_text FROM view_lists WHERE length(list_text) > 0;
        ALTER TABLE view_lists DROP COLUMN list_text, ADD COLUMN token BIGINT NOT NULL DEFAULT 0;
      )sql",
  };
  return kSteps;
}

}  // namespace localplatform
