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

void Write(const PlatformContents& contents, Store& store) {
  for (const ClientRow& client : contents.clients) store.PutClient(client);
  for (const ShareRow& share : contents.shares) store.AddShare(share);
  for (const auto& [subclientId, list] : contents.viewLists) store.RestoreViewList(subclientId, list);
  for (const NfsServerRow& server : contents.nfsServers) store.PutNfsServer(server);
  for (const ExportRow& row : contents.exports) store.AddExport(row);
  for (const auto& [section, key, value] : contents.numbers) store.SetNumber(section, key, value);
  for (const FaultRow& fault : contents.faults) store.SetFault(fault);
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
