#include "store/Statements.h"

namespace localplatform {

const char kReadViewListVersion[] = "SELECT version, token FROM view_lists WHERE subclient_id = ?1";
const char kUpdateViewList[] =
    "UPDATE view_lists SET version = version + 1, token = ?3 "
    "WHERE subclient_id = ?1 AND version = ?2";
const char kListShares[] =
    "SELECT share, server_client_name, subclient_id FROM nfs_shares ORDER BY position";
const char kReadFaultStamp[] = "SELECT stamp FROM fault_stamp";
// The page cache of a connection, in KiB (negative, as SQLite takes it). A
// view list of 10,000 views fills about 3 MB of pages and a rewrite touches
// the old pages and the new ones; the share table of 100,000 shares is
// another 3 MB. With SQLite's default of 2 MB every call would read most of
// such a list from the file again.

const char kSqlitePageCacheSetting[] = "PRAGMA cache_size=-16384";

}  // namespace localplatform
