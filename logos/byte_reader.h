#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace startgarten {

// Reads little-endian values from a byte buffer front to back. Every read is checked against
// the buffer's end first; reading past it throws "Stream-Read-Fehler ", as a short file does.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int32_t I32() { return static_cast<int32_t>(U32()); }

  // The next count bytes, as a view into the buffer.
  std::string_view Take(uint64_t count);
  void Skip(uint64_t count) { Take(count); }

  size_t Remaining() const { return bytes_.size() - position_; }
  // Everything not yet read.
  std::string_view Rest() const { return bytes_.substr(position_); }

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

}  // namespace startgarten
