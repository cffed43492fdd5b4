#include "logos/bitmap_pixels.h"

#include <algorithm>
#include <array>
#include <bit>

#include "platform/windows/error.h"
#include "platform/windows/messages.h"

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

// The colour of every index a pixel of 1, 4 or 8 bits can hold, looked up once per picture
// rather than once per pixel.
using IndexColours = std::array<uint32_t, 256>;

IndexColours ColoursOfIndices(const std::vector<uint32_t>& palette) {
  IndexColours colours;
  for (unsigned index = 0; index < colours.size(); ++index) {
    colours[index] = PaletteColour(palette, index);
  }
  return colours;
}

// One loop per depth, so that the depth is decided once per row and not for every pixel.
void DecodeRow(int bitCount, const IndexColours& colours, const MaskedColour& masked,
               const uint8_t* row, size_t width, uint32_t* out) {
  switch (bitCount) {
    case 1:
      for (size_t x = 0; x < width; ++x) out[x] = colours[row[x / 8] >> (7 - x % 8) & 1];
      break;
    case 4:
      for (size_t x = 0; x < width; ++x) out[x] = colours[row[x / 2] >> (x % 2 == 0 ? 4 : 0) & 0xF];
      break;
    case 8:
      for (size_t x = 0; x < width; ++x) out[x] = colours[row[x]];
      break;
    case 16:
      for (size_t x = 0; x < width; ++x) out[x] = masked(row[2 * x] | row[2 * x + 1] << 8);
      break;
    case 24:
      for (size_t x = 0; x < width; ++x) {
        out[x] = 0xFF000000 | uint32_t{row[3 * x + 2]} << 16 | uint32_t{row[3 * x + 1]} << 8 |
                 row[3 * x];
      }
      break;
    case 32:
      for (size_t x = 0; x < width; ++x) {
        out[x] = masked(row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
                        uint32_t{row[4 * x + 3]} << 24);
      }
      break;
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
  const IndexColours colours = ColoursOfIndices(layout.palette);
  const MaskedColour masked(layout.colourMasks);
  const auto* rows = reinterpret_cast<const uint8_t*>(data.data());
  for (size_t row = 0; row < size_t(layout.height); ++row) {
    const size_t y = layout.topDown ? row : size_t(layout.height) - 1 - row;
    DecodeRow(layout.bitCount, colours, masked, rows + row * stride, size_t(layout.width),
              &picture.pixels[y * size_t(layout.width)]);
  }
  return picture;
}

namespace {

// Writes pixel indexes along the rows of a bottom-up picture. Positions outside the picture
// take nothing; the column stops at the row's end, so no run can push it out of range.
class RowCursor {
 public:
  RowCursor(TPicture& picture, const std::vector<uint32_t>& palette)
      : picture_(picture), palette_(palette) {}

  void Put(unsigned index) {
    if (x_ >= picture_.width) return;
    if (y_ < picture_.height) {
      const auto row = size_t(picture_.height - 1 - y_);
      picture_.pixels[row * size_t(picture_.width) + size_t(x_)] = PaletteColour(palette_, index);
    }
    ++x_;
  }
  void NextRow() {
    x_ = 0;
    ++y_;
  }
  void Move(int dx, int dy) {
    x_ = std::min(x_ + dx, picture_.width);
    y_ += dy;
  }
  bool PastLastRow() const { return y_ >= picture_.height; }

 private:
  TPicture& picture_;
  const std::vector<uint32_t>& palette_;
  int x_ = 0;
  int y_ = 0;  // counted from the bottom row
};

}  // namespace

TPicture DecodeRunLengthPixels(const BitmapLayout& layout) {
  const bool fourBits = layout.compression == BitmapCompression::kRle4;
  // The i-th pixel index held in a byte: the byte itself, or its high then its low half.
  const auto indexIn = [fourBits](uint8_t byte, unsigned i) -> unsigned {
    return fourBits ? (i % 2 == 0 ? byte >> 4 : byte & 0xF) : byte;
  };

  TPicture picture = FilledPicture(layout, PaletteColour(layout.palette, 0));
  RowCursor cursor(picture, layout.palette);
  ByteReader in(layout.pixelData);
  while (!cursor.PastLastRow()) {
    const uint8_t count = in.U8();
    const uint8_t value = in.U8();
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) cursor.Put(indexIn(value, i));
      continue;
    }
    switch (value) {
      case 0:
        cursor.NextRow();
        break;
      case 1:
        return picture;
      case 2: {
        const uint8_t dx = in.U8();
        const uint8_t dy = in.U8();
        cursor.Move(dx, dy);
        break;
      }
      default: {
        // A literal run of `value` indexes, padded to a whole number of 16-bit words.
        const size_t length = fourBits ? (value + 1u) / 2 : value;
        const std::string_view literal = in.Take(length);
        for (unsigned i = 0; i < value; ++i) {
          cursor.Put(indexIn(static_cast<uint8_t>(literal[fourBits ? i / 2 : i]), i));
        }
        in.Skip(length % 2);
      }
    }
  }
  return picture;
}

}  // namespace startgarten
