#pragma once
// Statements run on a test platform's store behind the platform's back, for
// the tests of the store itself.

#include "support/TempPlatform.h"

namespace testsupport {

// Runs `sql` on the store of `platform` over a connection of its own, with
// the store's schema brought up to date first. Throws.
void ExecuteSql(const TempPlatform& platform, const char* sql);

}  // namespace testsupport
