#pragma once

#include <cstdio>
#include <cstdlib>

namespace velkora::fuzz {

// Stops the fuzzer with a finding, naming the promise that did not hold.
inline void Require(bool holds, const char* promise) {
  if (holds) return;
  std::fprintf(stderr, "velkora fuzz finding: %s\n", promise);
  std::abort();
}

}  // namespace velkora::fuzz
