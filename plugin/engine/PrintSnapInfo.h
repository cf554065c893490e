#pragma once

#include "host/SnapInfo.h"

// Diagnostic for outside callers: logs six values of the record at the
// detail level. A null record logs nothing.
void PrintSnapInfo(ZRSO::SnapInfo* snapInfo);
