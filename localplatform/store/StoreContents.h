#pragma once
// What a platform store holds, kind by kind: the one list that emptying a
// store, reading and writing it whole, copying it and the summary of a copy
// all go by. Every table of the schema holds rows of one kind below or is
// listed as derived, and a table added to a kind is cleared and copied with
// it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "admin/PlatformCopy.h"
#include "admin/Store.h"

namespace localplatform {

// One kind of content.
struct ContentKind {
  const char* shown;  // as the summary of a copy names it
  // The tables that hold it; a row that a store refuses is named by the
  // first. A table may hang on one before it, and is emptied before it.
  std::vector<const char*> tables;
  void (*read)(Store& from, PlatformContents& into);
  // Throws StoreError naming the row that `to` did not take.
  void (*write)(const PlatformContents& contents, const char* table, Store& to);
  size_t (*count)(const PlatformContents& contents);
};

// In the order they are read, written and summed up.
const std::vector<ContentKind>& ContentKinds();

// Tables that are never copied: stamps that triggers move whenever the
// tables they stand for change.
const std::vector<const char*>& DerivedTables();

// Tables a database keeps for itself, each in only one of them: the version
// of the schema, the last position handed out.
const std::vector<const char*>& BookkeepingTables();

}  // namespace localplatform
