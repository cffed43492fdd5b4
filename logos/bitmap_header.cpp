#include "logos/bitmap_header.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/windows/error.h"
#include "platform/windows/messages.h"

namespace startgarten {

std::string_view ByteReader::Take(uint64_t count) {
  if (count > Remaining()) throw Error(messages::kStreamReadError);
  std::string_view taken = bytes_.substr(position_, static_cast<size_t>(count));
  position_ += taken.size();
  return taken;
}

uint8_t ByteReader::U8() {
  return static_cast<uint8_t>(Take(1)[0]);
}

uint16_t ByteReader::U16() {
  std::string_view b = Take(2);
  return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
}

uint32_t ByteReader::U32() {
  std::string_view b = Take(4);
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(b[i]);
  return value;
}

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // 16-bit sizes, 3-byte colour table entries
constexpr uint32_t kInfoHeaderSize = 40;  // 32-bit sizes, 4-byte colour table entries
constexpr uint32_t kOpaque = 0xFF000000;

[[noreturn]] void ThrowInvalid() {
  throw Error(messages::kInvalidBitmap);
}

bool KnownBitCount(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
         bitCount == 32;
}

// Run-length compressed bitmaps are always stored bottom-up.
bool CompressionFits(BitmapCompression compression, int bitCount, bool topDown) {
  switch (compression) {
    case BitmapCompression::kNone:
      return true;
    case BitmapCompression::kRle8:
      return bitCount == 8 && !topDown;
    case BitmapCompression::kRle4:
      return bitCount == 4 && !topDown;
    case BitmapCompression::kBitFields:
      return bitCount == 16 || bitCount == 32;
  }
  return false;
}

std::array<uint32_t, 3> DefaultMasks(int bitCount) {
  if (bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0x00FF00, 0x0000FF};
}

}  // namespace

BitmapLayout ReadBitmapLayout(std::string_view bytes) {
  ByteReader in(bytes);
  if (in.Take(kFileHeaderSize).substr(0, 2) != "BM") ThrowInvalid();

  BitmapLayout layout;
  uint32_t coloursUsed = 0;
  size_t entrySize = 0;
  const uint32_t headerSize = in.U32();
  if (headerSize == kCoreHeaderSize) {
    layout.width = in.U16();
    layout.height = in.U16();
    in.U16();  // planes
    layout.bitCount = in.U16();
    entrySize = 3;
  } else if (headerSize == kInfoHeaderSize) {
    const int32_t width = in.I32();
    const int32_t height = in.I32();
    in.U16();  // planes
    layout.bitCount = in.U16();
    const uint32_t compression = in.U32();
    in.Skip(12);  // image size and resolution
    coloursUsed = in.U32();
    in.U32();  // important colours
    if (width < 0 || height == std::numeric_limits<int32_t>::min() ||
        compression > static_cast<uint32_t>(BitmapCompression::kBitFields)) {
      ThrowInvalid();
    }
    layout.width = width;
    layout.height = std::abs(height);
    layout.topDown = height < 0;
    layout.compression = static_cast<BitmapCompression>(compression);
    entrySize = 4;
  } else {
    ThrowInvalid();
  }
  if (!KnownBitCount(layout.bitCount) ||
      !CompressionFits(layout.compression, layout.bitCount, layout.topDown)) {
    ThrowInvalid();
  }

  layout.colourMasks = DefaultMasks(layout.bitCount);
  if (layout.compression == BitmapCompression::kBitFields) {
    for (uint32_t& mask : layout.colourMasks) mask = in.U32();
  }

  const bool indexed = layout.bitCount <= 8;
  const uint64_t tableEntries =
      coloursUsed != 0 ? coloursUsed : (indexed ? uint64_t{1} << layout.bitCount : 0);
  // Taking the whole table first checks that the file holds it before anything is allocated.
  const std::string_view table = in.Take(tableEntries * entrySize);
  if (indexed) {
    const size_t used = std::min<uint64_t>(tableEntries, uint64_t{1} << layout.bitCount);
    layout.palette.reserve(used);
    for (size_t i = 0; i < used; ++i) {
      const auto byte = [&](size_t k) { return static_cast<uint8_t>(table[i * entrySize + k]); };
      layout.palette.push_back(kOpaque | uint32_t{byte(2)} << 16 | uint32_t{byte(1)} << 8 |
                               byte(0));
    }
  }
  layout.pixelData = in.Rest();
  return layout;
}

uint32_t PaletteColour(const std::vector<uint32_t>& palette, unsigned index) {
  return index < palette.size() ? palette[index] : kOpaque;
}

TPicture FilledPicture(const BitmapLayout& layout, uint32_t colour) {
  const uint64_t count = uint64_t(layout.width) * uint64_t(layout.height);
  if (count > kMaxBitmapPixels) ThrowInvalid();
  TPicture picture;
  picture.width = layout.width;
  picture.height = layout.height;
  picture.pixels.assign(count, colour);
  return picture;
}

}  // namespace startgarten
