#include <algorithm>

#include "logos/bitmap_pixels.h"
#include "logos/byte_reader.h"

namespace startgarten {

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
      const size_t row = size_t(picture_.height - 1 - y_);
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
