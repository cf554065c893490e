#include "store/PlatformCopy.h"

namespace localplatform {
namespace {

PlatformContents ReadInUnit(Store& store) {
  PlatformContents contents;
  contents.clients = store.ListClients();
  contents.shares = store.ListShares();
  contents.viewLists = store.ListViewLists();
  contents.nfsServers = store.ListNfsServers();
  contents.exports = store.ListExports();
  for (const std::string& section : store.ListNumberSections()) {
    for (const auto& [key, value] : store.ListNumbers(section)) {
      contents.numbers.emplace_back(section, key, value);
    }
  }
  contents.faults = store.ListFaults();
  return contents;
}

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

void Write(const PlatformContents& contents, Store& store) {
  for (const ClientRow& client : contents.clients) {
    CopyRow("clients", Shown(client.name), [&] { store.PutClient(client); });
  }
  for (const ShareRow& share : contents.shares) {
    CopyRow("nfs_shares", Shown(share.share) + " on " + Shown(share.serverClientName),
            [&] { store.AddShare(share); });
  }
  // Loop variables, not structured bindings: a lambda cannot take those in C++17.
  for (const auto& viewList : contents.viewLists) {
    CopyRow("view_lists", "subclient " + std::to_string(viewList.first),
            [&] { store.RestoreViewList(viewList.first, viewList.second); });
  }
  for (const NfsServerRow& server : contents.nfsServers) {
    CopyRow("nfs_servers", Shown(server.hostName), [&] { store.PutNfsServer(server); });
  }
  for (const ExportRow& row : contents.exports) {
    CopyRow("exports",
            Shown(row.hostName) + " subclient " + std::to_string(row.subclientId) + " " +
                Shown(row.mountPath),
            [&] { store.AddExport(row); });
  }
  for (const auto& number : contents.numbers) {
    const std::string& section = std::get<0>(number);
    const std::string& key = std::get<1>(number);
    CopyRow("platform_info", Shown(section) + " " + Shown(key),
            [&] { store.SetNumber(section, key, std::get<2>(number)); });
  }
  for (const FaultRow& fault : contents.faults) {
    CopyRow("faults", Shown(fault.name) + " " + Shown(fault.scope), [&] { store.SetFault(fault); });
  }
}

}  // namespace

PlatformContents ReadPlatform(Store& store) {
  StoreUnit unit(store, false);
  PlatformContents contents = ReadInUnit(store);
  unit.Commit();
  return contents;
}

bool CopyPlatform(Store& from, Store& to, bool replace, PlatformContents& copied) {
  // Read whole before the target is touched, which may be the same store.
  PlatformContents contents = ReadPlatform(from);
  StoreUnit unit(to, true);
  if (!ReadInUnit(to).empty()) {
    if (!replace) return false;
    to.Clear();
  }
  Write(contents, to);
  unit.Commit();
  copied = std::move(contents);
  return true;
}

}  // namespace localplatform
