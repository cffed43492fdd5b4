#include "platform/system/file_bytes.h"

#include <algorithm>
#include <cstring>

namespace startgarten::platform {

void FileBytes::Resize(size_t size) {
  if (size > capacity_) {
    // Doubling keeps a file that is read on in chunks linear in its size.
    const size_t capacity = std::max(size, 2 * capacity_);
    std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_) std::memcpy(larger.get(), data_.get(), size_);
    data_ = std::move(larger);
    capacity_ = capacity;
  }
  size_ = size;
}

}  // namespace startgarten::platform
