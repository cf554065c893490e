#pragma once
// What either store keeps: the one rule of the rows a store takes, checked
// before anything is written, so that SQLite and PostgreSQL keep the same
// rows byte for byte and refuse the same ones with the same text. Within
// the limits every byte is kept, NUL bytes and bytes that are not UTF-8
// included, except where a name says otherwise.
//
//   what                                          rule
//   client, share and host names                  not empty, no NUL byte, at most kNameLimit bytes
//   a mount path                                  at most kMountPathLimit bytes
//   a view list                                   at most kViewListLimit bytes
//   information store sections and keys,
//   fault names and scopes                        at most kKeyLimit bytes
//
// The limits keep every key of a table within what a PostgreSQL index row
// holds. A mount path is "/", the share, "-" and the view name (a snapshot
// UUID, "_" and a number): a share name at its limit leaves 62 bytes for
// the view name.

#include <cstddef>
#include <string>

#include "admin/AdminApi.h"
#include "admin/Store.h"

namespace localplatform {

// A row that breaks the rule; nothing of it is written.
class ZRPLATFORM_ADMIN StoreRefusal : public StoreError {
 public:
  using StoreError::StoreError;
};

constexpr size_t kNameLimit = 1024;
constexpr size_t kMountPathLimit = 1088;
constexpr size_t kViewListLimit = size_t{64} << 20;
constexpr size_t kKeyLimit = 1024;

// Why `name` cannot be stored as the `field` ("client name", ...) of a row,
// or empty when it can.
ZRPLATFORM_ADMIN std::string NameRefusal(const char* field, const std::string& name);

// Each throws StoreRefusal, naming the field and the rule it breaks, for a
// row the rule refuses.
ZRPLATFORM_ADMIN void CheckStorable(const ClientRow& client);
ZRPLATFORM_ADMIN void CheckStorable(const ShareRow& share);
ZRPLATFORM_ADMIN void CheckStorable(const NfsServerRow& server);
ZRPLATFORM_ADMIN void CheckStorable(const ExportRow& row);
ZRPLATFORM_ADMIN void CheckStorable(const FaultRow& fault);
ZRPLATFORM_ADMIN void CheckStorableViewList(const std::string& text);
ZRPLATFORM_ADMIN void CheckStorableNumber(const std::string& section, const std::string& key);

}  // namespace localplatform
