#pragma once
// A whole platform moved from one store to another, as a user who outgrows
// one machine moves a SQLite platform into a PostgreSQL database that the
// hosts of several machines share.

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "admin/AdminApi.h"
#include "admin/Store.h"

namespace localplatform {

// Everything a store holds.
struct ZRPLATFORM_ADMIN PlatformContents {
  std::vector<ClientRow> clients;
  std::vector<ShareRow> shares;  // in the order they were added
  std::vector<std::pair<uint64_t, VersionedViewList>> viewLists;
  std::vector<NfsServerRow> nfsServers;
  std::vector<ExportRow> exports;
  std::vector<std::tuple<std::string, std::string, uint64_t>> numbers;  // section, key, value
  std::vector<FaultRow> faults;

  bool empty() const;
};

// What `store` holds, as of one moment. Throws StoreError.
ZRPLATFORM_ADMIN PlatformContents ReadPlatform(Store& store);

// Copies all `from` holds into `to`, in one unit of `to`: the shares keep
// their order and the view lists their versions. A `to` that holds anything
// is emptied first when `replace`, and otherwise left as it is: the answer
// is then false. Throws StoreError, with nothing written; a row that `to`
// did not take is named in it by its table and key.
ZRPLATFORM_ADMIN bool CopyPlatform(Store& from, Store& to, bool replace, PlatformContents& copied);

// "clients 1, shares 2, ...": how many rows of each kind `contents` holds.
ZRPLATFORM_ADMIN std::string ContentCounts(const PlatformContents& contents);

}  // namespace localplatform
