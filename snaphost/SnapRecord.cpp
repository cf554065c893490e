#include "SnapRecord.h"

#include "SnapCodes.h"

namespace snaphost {

const char* StatusMeaning(int status) {
  switch (status) {
    case 0: return "none";
    case ZRSO::STATUS_SNAPPED: return "snapped";
    case ZRSO::STATUS_SNAP_FAILED: return "snap failed";
    case ZRSO::STATUS_VIEW_EXISTS: return "view exists";
    case ZRSO::STATUS_MAP_FAILED: return "map failed";
    case ZRSO::STATUS_MAPPED: return "mapped";
    case ZRSO::STATUS_UNMAPPED: return "unmapped";
    case ZRSO::STATUS_UNMAP_FAILED: return "unmap failed";
    default: return "unknown";
  }
}

}  // namespace snaphost
