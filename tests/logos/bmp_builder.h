#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace startgarten::testing {

// The fields of a BMP file that the tests vary. Colour table entries are 0xRRGGBB and are
// written in the header's entry size; pixel data follows the colour table directly.
struct BmpFields {
  uint32_t headerSize = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bitCount = 8;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
  std::vector<uint32_t> masks{};  // written after the header when not empty
  std::vector<uint32_t> palette{};
  std::string pixelData{};
  uint32_t dataOffset = 0;  // the file header's offset field; the reader must not use it
};

std::string BuildBmp(const BmpFields& fields);

// Rows of raw pixel bytes, each padded with zero bytes to a multiple of four.
std::string PaddedRows(const std::vector<std::string>& rows);

}  // namespace startgarten::testing
