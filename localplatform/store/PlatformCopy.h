#pragma once
// A whole platform moved from one store to another, as a user who outgrows
// one machine moves a SQLite platform into a PostgreSQL database that the
// hosts of several machines share.

#include "store/StoreContents.h"

namespace localplatform {

// What `store` holds, as of one moment. Throws StoreError.
PlatformContents ReadPlatform(Store& store);

// Copies all `from` holds into `to`, in one unit of `to`: the shares keep
// their order and the view lists their versions. A `to` that holds anything
// is emptied first when `replace`, and otherwise left as it is: the answer
// is then false. Throws StoreError, with nothing written; a row that `to`
// did not take is named in it by its table and key.
bool CopyPlatform(Store& from, Store& to, bool replace, PlatformContents& copied);

}  // namespace localplatform
