#pragma once

#include <cstddef>

namespace startgarten::testing {

// Watches the sizes of the allocations made through operator new while it lives, so that a test
// can tell that hostile input did not make the code under test reserve a large block.
class AllocationProbe {
 public:
  AllocationProbe();
  ~AllocationProbe();
  AllocationProbe(const AllocationProbe&) = delete;
  AllocationProbe& operator=(const AllocationProbe&) = delete;

  size_t Largest() const;
};

}  // namespace startgarten::testing
