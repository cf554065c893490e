#pragma once
// The one place where snaphost's doctor reads the plug-in's formats: the
// pieces of a share's view list, the view name of a record and the mount path
// its snap device names.

#include <string>
#include <vector>

#include "SnapRecord.h"

namespace snaphost {

// One piece of a view list. `readable` is false when the piece lacks its
// view name or its mount path; then only `piece` is set.
struct ListedView {
  std::string name;
  std::string mountPath;
  std::string serverClientName;  // may be empty
  std::string piece;
  bool readable = false;
};

// Every piece of `list`, in list order, read as the plug-in reads it.
std::vector<ListedView> ReadViewList(const std::string& list);

// The name mapping gives the record's view.
std::string RecordViewName(const SnapRecord& record);

// The mount path the record's snap device names; empty without one.
std::string SnapDeviceMountPath(const SnapRecord& record);

}  // namespace snaphost
