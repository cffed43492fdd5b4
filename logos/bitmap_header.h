#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "logos/picture.h"

namespace startgarten {

// Reads little-endian values from a byte buffer front to back. Every read is checked against
// the buffer's end first; reading past it throws messages::kStreamReadError, as a short file does.
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

enum class BitmapCompression : uint32_t { kNone = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

// The checked content of a BMP file's headers: the picture's geometry and pixel format, its
// colour table and where its pixel data lies.
struct BitmapLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;
  BitmapCompression compression = BitmapCompression::kNone;
  // Red, green and blue masks of a 16 or 32 bit pixel.
  std::array<uint32_t, 3> colourMasks{};
  // The colours a pixel index of 1, 4 or 8 bits can select, as opaque 0xAARRGGBB.
  std::vector<uint32_t> palette;
  // Everything after the colour table; the file header's data offset is not used.
  std::string_view pixelData;
};

// Reads the file header, the information header (12 or 40 bytes), the colour masks of a bit
// field bitmap and the colour table. Throws messages::kStreamReadError when the file is shorter
// than these and messages::kInvalidBitmap for headers this reader does not know.
BitmapLayout ReadBitmapLayout(std::string_view bytes);

// The colour of a pixel index; an index beyond the colour table is black.
uint32_t PaletteColour(const std::vector<uint32_t>& palette, unsigned index);

// The largest picture the reader builds, 4096 x 4096 pixels: a bound on memory for headers that
// claim more than any shutdown picture needs.
inline constexpr uint64_t kMaxBitmapPixels = uint64_t{1} << 24;

// A picture of the layout's size filled with one colour. Throws messages::kInvalidBitmap beyond
// kMaxBitmapPixels.
TPicture FilledPicture(const BitmapLayout& layout, uint32_t colour);

}  // namespace startgarten
