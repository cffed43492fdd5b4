#include <bit>

#include "logos/bitmap_pixels.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace startgarten {

namespace {

// One colour channel of a 16 or 32 bit pixel, widened or narrowed to 8 bits. Narrow channels
// are shifted up without filling the low bits, as Windows shows 5-5-5 pixels.
class Channel {
 public:
  explicit Channel(uint32_t mask)
      : mask_(mask),
        shift_(mask == 0 ? 0 : std::countr_zero(mask)),
        width_(std::bit_width(mask >> shift_)) {}

  uint32_t Extract(uint32_t pixel) const {
    const uint32_t value = (pixel & mask_) >> shift_;
    return width_ <= 8 ? value << (8 - width_) & 0xFF : value >> (width_ - 8);
  }

 private:
  uint32_t mask_;
  int shift_;
  int width_;
};

class MaskedColour {
 public:
  explicit MaskedColour(const std::array<uint32_t, 3>& masks)
      : red_(masks[0]), green_(masks[1]), blue_(masks[2]) {}

  uint32_t operator()(uint32_t pixel) const {
    return 0xFF000000 | red_.Extract(pixel) << 16 | green_.Extract(pixel) << 8 |
           blue_.Extract(pixel);
  }

 private:
  Channel red_, green_, blue_;
};

uint32_t ByteAt(std::string_view row, size_t i) {
  return static_cast<uint8_t>(row[i]);
}

void DecodeRow(const BitmapLayout& layout, const MaskedColour& masked, std::string_view row,
               uint32_t* out) {
  const auto& palette = layout.palette;
  for (size_t x = 0; x < size_t(layout.width); ++x) {
    switch (layout.bitCount) {
      case 1:
        out[x] = PaletteColour(palette, ByteAt(row, x / 8) >> (7 - x % 8) & 1);
        break;
      case 4:
        out[x] = PaletteColour(palette, ByteAt(row, x / 2) >> (x % 2 == 0 ? 4 : 0) & 0xF);
        break;
      case 8:
        out[x] = PaletteColour(palette, ByteAt(row, x));
        break;
      case 16:
        out[x] = masked(ByteAt(row, 2 * x) | ByteAt(row, 2 * x + 1) << 8);
        break;
      case 24:
        out[x] = 0xFF000000 | ByteAt(row, 3 * x + 2) << 16 | ByteAt(row, 3 * x + 1) << 8 |
                 ByteAt(row, 3 * x);
        break;
      case 32:
        out[x] = masked(ByteAt(row, 4 * x) | ByteAt(row, 4 * x + 1) << 8 |
                        ByteAt(row, 4 * x + 2) << 16 | ByteAt(row, 4 * x + 3) << 24);
        break;
    }
  }
}

}  // namespace

TPicture DecodeUncompressedPixels(const BitmapLayout& layout) {
  const uint64_t stride = (uint64_t(layout.width) * uint64_t(layout.bitCount) + 31) / 32 * 4;
  const std::string_view data = layout.pixelData;
  // Checked before the picture is allocated, so a header claiming a huge picture in a small
  // file costs nothing.
  if (stride != 0 && uint64_t(layout.height) > data.size() / stride) {
    throw Error(messages::kStreamReadError);
  }
  TPicture picture = FilledPicture(layout, 0);
  const MaskedColour masked(layout.colourMasks);
  for (size_t row = 0; row < size_t(layout.height); ++row) {
    const size_t y = layout.topDown ? row : size_t(layout.height) - 1 - row;
    DecodeRow(layout, masked, data.substr(row * stride, stride),
              &picture.pixels[y * size_t(layout.width)]);
  }
  return picture;
}

}  // namespace startgarten
