#include "tests/logos/allocation_probe.h"

#include <cstdlib>
#include <new>

namespace startgarten::testing {

namespace {

bool watching = false;
size_t largest = 0;

}  // namespace

AllocationProbe::AllocationProbe() {
  largest = 0;
  watching = true;
}

AllocationProbe::~AllocationProbe() {
  watching = false;
}

size_t AllocationProbe::Largest() const {
  return largest;
}

}  // namespace startgarten::testing

// The replaceable allocation functions of this test program, noting each size while a probe
// watches.
void* operator new(size_t size) {
  using namespace startgarten::testing;
  if (watching && size > largest) largest = size;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* operator new[](size_t size) {
  return ::operator new(size);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
  std::free(block);
}
