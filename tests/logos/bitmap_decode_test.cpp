#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logos/bitmap_reader.h"
#include "logos/logo_messages.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "tests/logos/allocation_probe.h"
#include "tests/logos/bmp_builder.h"

namespace startgarten {
namespace {

using testing::BmpFields;
using testing::BuildBmp;
using testing::PaddedRows;

using Bytes = std::string;

BmpFields Fields(int32_t width, int32_t height, uint16_t bitCount, Bytes pixelData,
                 std::vector<uint32_t> palette = {}, uint32_t compression = 0) {
  BmpFields f;
  f.width = width;
  f.height = height;
  f.bitCount = bitCount;
  f.compression = compression;
  f.coloursUsed = uint32_t(palette.size());
  f.palette = std::move(palette);
  f.pixelData = std::move(pixelData);
  return f;
}

// The message of the reader's error for these bytes, or "" when they decode.
std::string ErrorOf(const Bytes& bytes) {
  try {
    DecodeBitmap(bytes);
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

void ExpectPixels(const BmpFields& fields, int width, std::vector<uint32_t> rgbTopToBottom) {
  const TPicture picture = DecodeBitmap(BuildBmp(fields));
  for (uint32_t& colour : rgbTopToBottom) colour |= 0xFF000000;
  ASSERT_EQ(picture.width, width);
  ASSERT_EQ(picture.height * width, int(rgbTopToBottom.size()));
  EXPECT_EQ(picture.pixels, rgbTopToBottom);
}

// The bmpsuite tests cover the common formats; these cover what the suite does not hold.
TEST(BitmapDecodeTest, PixelFormats) {
  const uint32_t a = 0x102030, b = 0xA0B0C0, c = 0x405060, d = 0xD0E0F0;
  SCOPED_TRACE("1 bit, bottom-up, unused bits and row padding set");
  ExpectPixels(Fields(3, 2, 1, Bytes("\xBF\xFF\xFF\xFF\x7F\xFF\xFF\xFF", 8), {a, b}), 3,
               {a, b, b, b, a, b});
  SCOPED_TRACE("4 bits, a colour table shorter than 16 entries");
  ExpectPixels(Fields(3, 1, 4, PaddedRows({"\x12\x30"}), {a, b, c, d}), 3, {b, c, d});
  SCOPED_TRACE("8 bits, an index beyond the colour table is black");
  ExpectPixels(Fields(3, 1, 8, PaddedRows({Bytes("\x01\x00\x05", 3)}), {a, b}), 3, {b, a, 0});

  SCOPED_TRACE("12-byte header: 3-byte table entries, always 2^bits of them");
  BmpFields core = Fields(2, 2, 4, PaddedRows({"\x1F", "\x20"}));
  core.headerSize = 12;
  for (uint32_t i = 0; i < 16; ++i) core.palette.push_back(i * 0x100000 + i);
  ExpectPixels(core, 2, {0x200002, 0, 0x100001, 0xF0000F});

  SCOPED_TRACE("16 bits 5-5-5, top-down, the top bit ignored");
  ExpectPixels(Fields(2, -2, 16, Bytes("\x00\x7C\xE0\x03\x1F\x80\xFF\x7F", 8)), 2,
               {0xF80000, 0x00F800, 0x0000F8, 0xF8F8F8});

  SCOPED_TRACE("32 bit fields in another order, and wider than 8 bits");
  BmpFields fields = Fields(1, 1, 32, "\x11\x22\x33\x44", {}, 3);
  fields.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  ExpectPixels(fields, 1, {0x112233});
  fields.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  fields.pixelData = Bytes("\xFF\x03\x00\x20", 4);  // red 0x200, green 0, blue 0x3FF
  ExpectPixels(fields, 1, {0x8000FF});
}

TEST(BitmapDecodeTest, RunLengthDataPlacesRunsLiteralsAndSkips) {
  const std::vector<uint32_t> palette = {0x000080, 0x008000, 0x800000, 0x808080};
  const uint32_t c0 = palette[0], c1 = palette[1], c2 = palette[2], c3 = palette[3];
  SCOPED_TRACE("RLE8");
  const Bytes rle8(
      "\x02\x01"                  // two of index 1
      "\x00\x03\x02\x03\x01\x00"  // three literal indexes, the last beyond the row, padding
      "\x00\x00"                  // end of row
      "\x00\x02\x01\x01"          // skip one column and one row
      "\x01\x03"                  // one of index 3
      "\x00\x01",                 // end of bitmap
      18);
  ExpectPixels(Fields(4, 3, 8, rle8, palette, 1), 4,
               {c0, c3, c0, c0, c0, c0, c0, c0, c1, c1, c2, c3});
  SCOPED_TRACE("RLE4, ending after its last row without an end-of-bitmap mark");
  const Bytes rle4(
      "\x03\x12"                  // indexes 1 2 1
      "\x00\x03\x30\x20"          // literal 3 0 2, the last beyond the row
      "\x00\x00"                  // end of row
      "\x00\x05\x12\x31\x20\x00"  // literal 1 2 3 1 2, padding
      "\x00\x00",                 // end of the last row
      16);
  ExpectPixels(Fields(5, 2, 4, rle4, palette, 2), 5, {c1, c2, c3, c1, c2, c1, c2, c1, c3, c0});
}

TEST(BitmapDecodeTest, EmptyFileAndEmptyPictureHoldNoPixels) {
  EXPECT_TRUE(DecodeBitmap("").Empty());
  EXPECT_TRUE(DecodeBitmap(BuildBmp(Fields(0, 5, 24, ""))).Empty());
  EXPECT_TRUE(DecodeBitmap(BuildBmp(Fields(7, 0, 24, ""))).Empty());
}

TEST(BitmapDecodeTest, HeadersThisReaderDoesNotKnowAreInvalid) {
  Bytes notBm = BuildBmp(Fields(1, 1, 24, "abc_"));
  notBm[1] = 'A';
  EXPECT_EQ(ErrorOf(notBm), messages::kInvalidBitmap);

  std::vector<BmpFields> invalid;
  for (uint32_t size : {0u, 16u, 64u, 108u, 124u}) {
    invalid.push_back(Fields(1, 1, 24, "abc_"));
    invalid.back().headerSize = size;
  }
  for (uint16_t bits : {0, 2, 3, 30000}) invalid.push_back(Fields(1, 1, bits, "abc_"));
  // Compressions unknown, or not fitting the depth.
  for (auto [bits, compression] : std::vector<std::pair<uint16_t, uint32_t>>{
           {24, 4}, {24, 5}, {4, 1}, {8, 2}, {24, 1}, {8, 3}, {24, 3}}) {
    invalid.push_back(Fields(1, 1, bits, "abc_", {}, compression));
  }
  invalid.push_back(Fields(-1, 1, 24, "abc_"));
  invalid.push_back(Fields(1, -1, 8, "\x01\x00\x00\x01", {}, 1));  // top-down RLE
  for (const BmpFields& f : invalid) {
    SCOPED_TRACE(::testing::Message()
                 << "header " << f.headerSize << ", " << f.bitCount << " bits, compression "
                 << f.compression << ", " << f.width << " x " << f.height);
    EXPECT_EQ(ErrorOf(BuildBmp(f)), messages::kInvalidBitmap);
  }
}

TEST(BitmapDecodeTest, AFileCutAnywhereIsAStreamReadError) {
  BmpFields core = Fields(2, 1, 1, PaddedRows({"\x80"}), {1, 2});
  core.headerSize = 12;
  BmpFields bitFields = Fields(2, 2, 16, "abcdefgh", {}, 3);
  bitFields.masks = {0xF800, 0x07E0, 0x001F};
  const std::vector<BmpFields> files = {
      Fields(3, 2, 8, PaddedRows({Bytes("\x00\x01\x02", 3), Bytes("\x02\x01\x00", 3)}), {1, 2, 3}),
      core, bitFields, Fields(2, 1, 8, Bytes("\x02\x01\x00\x01", 4), {1, 2}, 1)};
  for (const BmpFields& f : files) {
    const Bytes whole = BuildBmp(f);
    ASSERT_EQ(ErrorOf(whole), "") << f.bitCount << " bits";
    for (size_t length = 1; length < whole.size(); ++length) {
      SCOPED_TRACE(::testing::Message() << f.bitCount << " bits cut to " << length << " bytes");
      EXPECT_EQ(ErrorOf(whole.substr(0, length)), messages::kStreamReadError);
    }
  }
}

TEST(BitmapDecodeTest, ClaimsBeyondTheFileFailWithoutLargeAllocations) {
  const Bytes filler(120, 'x');
  BmpFields manyColours = Fields(2, 2, 8, filler);
  manyColours.coloursUsed = 0x7FFFFFFF;
  BmpFields manyUnusedColours = Fields(2, 2, 24, filler);
  manyUnusedColours.coloursUsed = 0xFFFFFFFF;
  const std::vector<std::pair<BmpFields, const char*>> claims = {
      {Fields(100000, 100000, 24, filler), messages::kStreamReadError},
      {Fields(100000, -100000, 1, filler), messages::kStreamReadError},
      {manyColours, messages::kStreamReadError},
      {manyUnusedColours, messages::kStreamReadError},
      {Fields(100000, 100000, 8, Bytes("\x00\x01", 2), {0}, 1), messages::kInvalidBitmap},
  };
  for (const auto& [fields, expected] : claims) {
    SCOPED_TRACE(::testing::Message() << fields.width << " x " << fields.height << ", "
                                      << fields.coloursUsed << " colours");
    const Bytes bytes = BuildBmp(fields);
    testing::AllocationProbe probe;
    EXPECT_EQ(ErrorOf(bytes), expected);
    EXPECT_LT(probe.Largest(), 64u * 1024u);
  }
}

}  // namespace
}  // namespace startgarten
