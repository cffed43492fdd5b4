#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace startgarten::platform {

// The bytes of a file as read. Unlike a std::string's, new room is not zeroed before the read
// fills it: for a large file that extra pass costs about as much as the read itself.
class FileBytes {
 public:
  const char* data() const { return data_.get(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  operator std::string_view() const { return {data_.get(), size_}; }

  // Room for size bytes; the first bytes stay, bytes beyond the old size are undefined until
  // written through Room().
  void Resize(size_t size);
  char* Room() { return data_.get(); }

  friend bool operator==(const FileBytes& bytes, std::string_view text) {
    return std::string_view(bytes) == text;
  }

 private:
  std::unique_ptr<char[]> data_;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// A file's bytes as the code below the drive interface reads them.
struct BytesRead {
  int error = 0;          // 0 or an errno value
  bool tooLarge = false;  // the file holds more than the limit; bytes is then empty
  FileBytes bytes;
};

}  // namespace startgarten::platform
