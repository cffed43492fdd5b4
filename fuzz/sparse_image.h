#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// An image file as the fuzz input for its recognition: a claimed size and the few sectors that
// are not zero, so that a seed of a 512 MiB disk is a kilobyte or two. The input is the size (8
// bytes, little-endian) followed by sectors, each its number (4 bytes, little-endian) and its 512
// bytes; a last sector cut short is filled with zeros.
namespace startgarten::fuzz {

inline constexpr size_t kSector = 512;

inline uint64_t LittleEndian(std::string_view bytes) {
  uint64_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

class SparseImage {
 public:
  explicit SparseImage(std::string_view input) {
    if (input.size() < 8) {
      size_ = input.size();
      return;
    }
    size_ = LittleEndian(input.substr(0, 8));
    for (input.remove_prefix(8); input.size() > 4;) {
      const uint64_t number = LittleEndian(input.substr(0, 4));
      std::string sector(input.substr(4, kSector));
      sector.resize(kSector, '\0');
      sectors_.push_back({number * kSector, std::move(sector)});
      input.remove_prefix(std::min(input.size(), 4 + kSector));
    }
  }

  uint64_t size() const { return size_; }

  // What the file holds at offset: zeros where no sector was given, the later of two sectors
  // given for one place.
  bool Read(uint64_t offset, std::span<char> buffer) const {
    if (offset > size_ || size_ - offset < buffer.size()) return false;
    std::memset(buffer.data(), 0, buffer.size());
    for (const auto& [at, bytes] : sectors_) {
      const uint64_t from = std::max(at, offset);
      const uint64_t to = std::min(at + kSector, offset + buffer.size());
      if (from < to)
        std::memcpy(buffer.data() + (from - offset), bytes.data() + (from - at), to - from);
    }
    return true;
  }

  // The input that describes size and the sectors at these offsets of a real file.
  static std::string Encode(uint64_t size,
                            const std::vector<std::pair<uint64_t, std::string>>& sectors) {
    std::string input;
    const auto append = [&](uint64_t value, int bytes) {
      for (int i = 0; i < bytes; ++i, value >>= 8) input += static_cast<char>(value & 0xFF);
    };
    append(size, 8);
    for (const auto& [offset, bytes] : sectors) {
      append(offset / kSector, 4);
      input += bytes;
    }
    return input;
  }

 private:
  uint64_t size_ = 0;
  std::vector<std::pair<uint64_t, std::string>> sectors_;
};

}  // namespace startgarten::fuzz
