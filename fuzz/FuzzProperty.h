#pragma once
// A property that every input must keep: a broken one aborts, which
// libFuzzer reports with the input that broke it, and names the property
// when it is given.

#include <cstdio>
#include <cstdlib>

inline void Require(bool condition, const char* property = nullptr) {
  if (condition) return;
  if (property != nullptr) std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}
