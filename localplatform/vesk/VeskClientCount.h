#pragma once
// How many configuration clients of the file-server service this process has
// made and freed: lets a caller (and its tests) see that every client it
// created was freed exactly once.

#include <cstdint>

namespace localplatform {

int64_t VeskClientsCreated();
int64_t VeskClientsDestroyed();

}  // namespace localplatform
