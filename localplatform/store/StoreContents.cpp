#include "store/StoreContents.h"

namespace localplatform {
namespace {

// A key as it may be shown: printable ASCII as it is, any other byte as
// \xNN, and no more than the first 64 bytes of a long one.
std::string Shown(const std::string& key) {
  constexpr size_t kShownBytes = 64;
  std::string shown;
  for (size_t at = 0; at < key.size() && at < kShownBytes; ++at) {
    const unsigned char byte = static_cast<unsigned char>(key[at]);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      shown += static_cast<char>(byte);
    } else {
      static const char kDigits[] = "0123456789abcdef";
      shown += {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0xf]};
    }
  }
  if (key.size() > kShownBytes) shown += "... (" + std::to_string(key.size()) + " bytes)";
  return shown;
}

// Writes one row of `table`, named by `key` in the failure of its write.
template <typename Put>
void CopyRow(const char* table, const std::string& key, Put put) {
  try {
    put();
  } catch (const StoreError& error) {
    throw StoreError(std::string("cannot copy the row of ") + table + " [" + key +
                     "]: " + error.what());
  }
}

void ReadNumbers(Store& from, PlatformContents& into) {
  for (const std::string& section : from.ListNumberSections()) {
    for (const auto& [key, value] : from.ListNumbers(section)) {
      into.numbers.emplace_back(section, key, value);
    }
  }
}

}  // namespace

// Loop variables, not structured bindings, where a lambda takes a row: a
// lambda cannot take those in C++17.
const std::vector<ContentKind>& ContentKinds() {
  static const std::vector<ContentKind> kKinds = {
      {"clients",
       {"clients"},
       [](Store& from, PlatformContents& into) { into.clients = from.ListClients(); },
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const ClientRow& client : contents.clients) {
           CopyRow(table, Shown(client.name), [&] { to.PutClient(client); });
         }
       },
       [](const PlatformContents& contents) { return contents.clients.size(); }},
      {"shares",
       {"nfs_shares"},
       [](Store& from, PlatformContents& into) { into.shares = from.ListShares(); },
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const ShareRow& share : contents.shares) {
           CopyRow(table, Shown(share.share) + " on " + Shown(share.serverClientName),
                   [&] { to.AddShare(share); });
         }
       },
       [](const PlatformContents& contents) { return contents.shares.size(); }},
      {"view lists",
       {"view_lists", "view_pieces"},
       [](Store& from, PlatformContents& into) { into.viewLists = from.ListViewLists(); },
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const auto& viewList : contents.viewLists) {
           CopyRow(table, "subclient " + std::to_string(viewList.first),
                   [&] { to.RestoreViewList(viewList.first, viewList.second); });
         }
       },
       [](const PlatformContents& contents) { return contents.viewLists.size(); }},
      {"file-server machines",
       {"nfs_servers"},
       [](Store& from, PlatformContents& into) { into.nfsServers = from.ListNfsServers(); },
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const NfsServerRow& server : contents.nfsServers) {
           CopyRow(table, Shown(server.hostName), [&] { to.PutNfsServer(server); });
         }
       },
       [](const PlatformContents& contents) { return contents.nfsServers.size(); }},
      {"exports",
       {"exports"},
       [](Store& from, PlatformContents& into) { into.exports = from.ListExports(); },
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const ExportRow& row : contents.exports) {
           CopyRow(table,
                   Shown(row.hostName) + " subclient " + std::to_string(row.subclientId) + " " +
                       Shown(row.mountPath),
                   [&] { to.AddExport(row); });
         }
       },
       [](const PlatformContents& contents) { return contents.exports.size(); }},
      {"information store entries",
       {"platform_info"},
       ReadNumbers,
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const auto& number : contents.numbers) {
           const std::string& section = std::get<0>(number);
           const std::string& key = std::get<1>(number);
           CopyRow(table, Shown(section) + " " + Shown(key),
                   [&] { to.SetNumber(section, key, std::get<2>(number)); });
         }
       },
       [](const PlatformContents& contents) { return contents.numbers.size(); }},
      {"faults",
       {"faults"},
       [](Store& from, PlatformContents& into) { into.faults = from.ListFaults(); },
       [](const PlatformContents& contents, const char* table, Store& to) {
         for (const FaultRow& fault : contents.faults) {
           CopyRow(table, Shown(fault.name) + " " + Shown(fault.scope),
                   [&] { to.SetFault(fault); });
         }
       },
       [](const PlatformContents& contents) { return contents.faults.size(); }},
  };
  return kKinds;
}

bool PlatformContents::empty() const {
  for (const ContentKind& kind : ContentKinds()) {
    if (kind.count(*this) != 0) return false;
  }
  return true;
}

const std::vector<const char*>& DerivedTables() {
  static const std::vector<const char*> kTables = {"share_list_stamp", "fault_stamp"};
  return kTables;
}

const std::vector<const char*>& BookkeepingTables() {
  static const std::vector<const char*> kTables = {"schema_version", "sqlite_sequence"};
  return kTables;
}

std::string ContentCounts(const PlatformContents& contents) {
  std::string counts;
  for (const ContentKind& kind : ContentKinds()) {
    if (!counts.empty()) counts += ", ";
    counts += kind.shown + (" " + std::to_string(kind.count(contents)));
  }
  return counts;
}

}  // namespace localplatform
