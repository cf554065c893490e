#pragma once

#include "PluginExport.h"
#include "SnapInfo.h"

// Diagnostic for outside callers: logs six values of the record at the
// detail level. A null record logs nothing.
ZRSO_EXPORT void PrintSnapInfo(ZRSO::SnapInfo* snapInfo);
