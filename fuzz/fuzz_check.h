#pragma once

#include <cstdio>
#include <cstdlib>

namespace startgarten::fuzz {

// Ends the run with a finding when a property does not hold; libFuzzer keeps the input.
inline void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
  }
}

}  // namespace startgarten::fuzz
