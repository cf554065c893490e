#include "admin/PlatformCopy.h"

#include "store/StoreContents.h"

namespace localplatform {
namespace {

PlatformContents ReadInUnit(Store& store) {
  PlatformContents contents;
  for (const ContentKind& kind : ContentKinds()) kind.read(store, contents);
  return contents;
}

void Write(const PlatformContents& contents, Store& store) {
  for (const ContentKind& kind : ContentKinds()) kind.write(contents, kind.tables.front(), store);
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
