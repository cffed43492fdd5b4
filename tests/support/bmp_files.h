#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/byte_order.h"

namespace startgarten::test_support {

// The fields of a BMP file that the tests vary, in the order a braced list gives them. Colour
// table entries are 0xRRGGBB, written in the header's entry size; a coloursUsed of 0 writes the
// table's length. The file header's data offset is 0: the reader must not use it.
struct BmpFields {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  std::string pixelData{};
  std::vector<uint32_t> palette{};
  uint32_t compression = 0;
  std::vector<uint32_t> masks{};  // written after the header
  uint32_t headerSize = 40;
  uint32_t coloursUsed = 0;
};

inline std::string BuildBmp(const BmpFields& f) {
  std::string file = "BM" + std::string(12, '\0');  // file size and data offset, both unused
  const auto put = [&file](uint32_t value, int bytes) { AppendLittleEndian(file, value, bytes); };
  const bool core = f.headerSize == 12;
  put(f.headerSize, 4);
  put(uint32_t(f.width), core ? 2 : 4);
  put(uint32_t(f.height), core ? 2 : 4);
  put(1 | uint32_t{f.bitCount} << 16, 4);  // planes and bits per pixel
  if (!core) {
    put(f.compression, 4);
    file.append(12, '\0');  // image size and resolution
    put(f.coloursUsed != 0 ? f.coloursUsed : uint32_t(f.palette.size()), 4);
    file.resize(std::max(18u, 14 + f.headerSize), '\0');  // keeps the size field
  }
  for (uint32_t mask : f.masks) put(mask, 4);
  for (uint32_t colour : f.palette) put(colour, core ? 3 : 4);
  return file + f.pixelData;
}

}  // namespace startgarten::test_support
