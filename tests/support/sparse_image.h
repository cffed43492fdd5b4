#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "support/byte_order.h"

// An image file as its claimed size and the few sectors that are not zero, so that a 512 MiB disk
// takes a kilobyte or two: what the tests of the image recognition build, and the input of its
// fuzz target. As input it is the size (8 bytes, little-endian) followed by sectors, each its
// number (4 bytes, little-endian) and its 512 bytes; a last sector cut short is filled with zeros,
// and of two sectors for one place the later one counts.
namespace startgarten::test_support {

inline constexpr size_t kSector = 512;

struct SparseImage {
  uint64_t size = 0;
  std::map<uint64_t, std::string> sectors;  // by offset, kSector bytes each

  // A file of size bytes that begins with front (a sector at most), zeros after it.
  static SparseImage Starting(std::string front, uint64_t size) {
    front.resize(kSector, '\0');
    return {size, {{0, std::move(front)}}};
  }

  static SparseImage Decode(std::string_view input) {
    SparseImage image{input.size(), {}};
    if (input.size() < 8) return image;
    image.size = GetLittleEndian(input, 0, 8);
    input.remove_prefix(8);
    while (input.size() > 4) {
      std::string& sector = image.sectors[GetLittleEndian(input, 0, 4) * kSector];
      input.remove_prefix(4);
      sector = input.substr(0, kSector);
      sector.resize(kSector, '\0');
      input.remove_prefix(std::min(input.size(), kSector));
    }
    return image;
  }

  std::string Encode() const {
    std::string input;
    AppendLittleEndian(input, size, 8);
    for (const auto& [offset, bytes] : sectors) {
      AppendLittleEndian(input, offset / kSector, 4);
      input += bytes;
    }
    return input;
  }

  // Fills buffer with what the file holds at offset, zeros where no sector was given; false when
  // the file ends before the buffer does.
  bool Read(uint64_t offset, std::span<char> buffer) const {
    if (offset > size || size - offset < buffer.size()) return false;
    std::memset(buffer.data(), 0, buffer.size());
    for (const auto& [at, bytes] : sectors) {
      const uint64_t from = std::max(at, offset);
      const uint64_t to = std::min(at + bytes.size(), offset + buffer.size());
      if (from < to)
        std::memcpy(buffer.data() + (from - offset), bytes.data() + (from - at), to - from);
    }
    return true;
  }
};

}  // namespace startgarten::test_support
