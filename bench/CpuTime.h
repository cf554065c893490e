#pragma once
// The process's CPU time (user + system), which other work on the machine
// moves less than the wall clock.

#include <time.h>

namespace bench {

inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace bench
