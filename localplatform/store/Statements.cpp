#include "store/Statements.h"

namespace localplatform {

const char kReadViewListVersion[] = "SELECT version, token FROM view_lists WHERE subclient_id = ?1";
const char kUpdateViewList[] =
    "UPDATE view_lists SET version = version + 1, token = ?3 "
    "WHERE subclient_id = ?1 AND version = ?2";
const char kListShares[] =
    "SELECT share, server_client_name, subclient_id FROM nfs_shares ORDER BY position";
const char kReadFaultStamp[] = "SELECT stamp FROM fault_stamp";
const char kSqlitePageCacheSetting[] = "PRAGMA cache_size=-16384";

}  // namespace localplatform
