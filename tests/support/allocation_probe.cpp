#include "support/allocation_probe.h"

#include <algorithm>
#include <cstdlib>
#include <new>

std::size_t& LargestAllocation() {
  static std::size_t largest = 0;
  return largest;
}

void* operator new(std::size_t size) {
  LargestAllocation() = std::max(LargestAllocation(), size);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
