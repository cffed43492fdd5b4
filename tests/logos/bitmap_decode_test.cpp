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

constexpr uint32_t kOpaque = 0xFF000000;
constexpr uint32_t kBlack = kOpaque;

// The message of the reader's error for these bytes, or "" when they decode.
std::string ErrorOf(const std::string& bytes) {
  try {
    DecodeBitmap(bytes);
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

std::vector<uint32_t> Opaque(std::vector<uint32_t> colours) {
  for (uint32_t& colour : colours) colour |= kOpaque;
  return colours;
}

void ExpectPicture(const TPicture& picture, int width, int height,
                   const std::vector<uint32_t>& rgbTopToBottom) {
  ASSERT_EQ(picture.width, width);
  ASSERT_EQ(picture.height, height);
  EXPECT_EQ(picture.pixels, Opaque(rgbTopToBottom));
}

// --- pixel formats ---------------------------------------------------------------------------

TEST(BitmapDecodeTest, IndexedPixelsSelectFromTheColourTable) {
  const uint32_t a = 0x102030, b = 0xA0B0C0, c = 0x405060, d = 0xD0E0F0;
  {
    SCOPED_TRACE("1 bit, bottom-up, unused bits and row padding set");
    BmpFields f{.width = 3, .height = 2, .bitCount = 1, .palette = {a, b}};
    f.pixelData = std::string("\xBF\xFF\xFF\xFF", 4) + std::string("\x7F\xFF\xFF\xFF", 4);
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 3, 2, {a, b, b, b, a, b});
  }
  {
    SCOPED_TRACE("4 bits, a colour table shorter than 16 entries");
    BmpFields f{.width = 3, .height = 1, .bitCount = 4, .coloursUsed = 4, .palette = {a, b, c, d}};
    f.pixelData = PaddedRows({"\x12\x30"});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 3, 1, {b, c, d});
  }
  {
    SCOPED_TRACE("8 bits, an index beyond the colour table is black");
    BmpFields f{.width = 3, .height = 1, .bitCount = 8, .coloursUsed = 2, .palette = {a, b}};
    f.pixelData = PaddedRows({std::string("\x01\x00\x05", 3)});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 3, 1, {b, a, 0});
  }
  {
    SCOPED_TRACE("8 bits with the full table of 256 when no count is given");
    BmpFields f{.width = 2, .height = 1, .bitCount = 8};
    for (uint32_t i = 0; i < 256; ++i) f.palette.push_back(i * 0x010101);
    f.pixelData = PaddedRows({"\x07\xFE"});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 2, 1, {0x070707, 0xFEFEFE});
  }
  {
    SCOPED_TRACE("12-byte header: 3-byte table entries, always 2^bits of them");
    BmpFields f{.headerSize = 12, .width = 2, .height = 2, .bitCount = 4};
    for (uint32_t i = 0; i < 16; ++i) f.palette.push_back(i * 0x100000 + i);
    f.pixelData = PaddedRows({"\x1F", "\x20"});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 2, 2, {0x200002, 0, 0x100001, 0xF0000F});
  }
}

TEST(BitmapDecodeTest, DirectColourPixelsFollowTheirMasks) {
  {
    SCOPED_TRACE("16 bits 5-5-5, top-down, the top bit ignored");
    BmpFields f{.width = 2, .height = -2, .bitCount = 16};
    f.pixelData =
        PaddedRows({std::string("\x00\x7C\xE0\x03", 4), std::string("\x1F\x80\xFF\x7F", 4)});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 2, 2, {0xF80000, 0x00F800, 0x0000F8, 0xF8F8F8});
  }
  {
    SCOPED_TRACE("16 bits 5-6-5 bit fields");
    BmpFields f{.width = 3,
                .height = 1,
                .bitCount = 16,
                .compression = 3,
                .masks = {0xF800, 0x07E0, 0x001F}};
    f.pixelData = PaddedRows({std::string("\x00\xF8\xE0\x07\x1F\x00", 6)});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 3, 1, {0xF80000, 0x00FC00, 0x0000F8});
  }
  {
    SCOPED_TRACE("24 bits: blue, green, red");
    BmpFields f{.width = 2, .height = 2, .bitCount = 24};
    f.pixelData = PaddedRows({"\x01\x02\x03\x04\x05\x06", "\x07\x08\x09\x0A\x0B\x0C"});
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 2, 2, {0x090807, 0x0C0B0A, 0x030201, 0x060504});
  }
  {
    SCOPED_TRACE("32 bits: the fourth byte is not alpha");
    BmpFields f{.width = 1, .height = 1, .bitCount = 32};
    f.pixelData = std::string("\x11\x22\x33\x00", 4);
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 1, 1, {0x332211});
  }
  {
    SCOPED_TRACE("32 bit fields in another order and wider than 8 bits");
    BmpFields f{.width = 2,
                .height = 1,
                .bitCount = 32,
                .compression = 3,
                .masks = {0x000000FF, 0x0000FF00, 0x00FF0000}};
    f.pixelData = std::string("\x11\x22\x33\x44", 4);
    BmpFields wide = f;
    wide.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    wide.pixelData = std::string("\xFF\x03\x00\x20", 4);  // red 0x200, green 0, blue 0x3FF
    f.pixelData += std::string(4, '\0');
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 2, 1, {0x112233, 0});
    wide.width = 1;
    ExpectPicture(DecodeBitmap(BuildBmp(wide)), 1, 1, {0x8000FF});
  }
}

TEST(BitmapDecodeTest, RunLengthDataPlacesRunsLiteralsAndSkips) {
  const uint32_t c0 = 0x000080, c1 = 0x008000, c2 = 0x800000, c3 = 0x808080;
  {
    SCOPED_TRACE("RLE8");
    BmpFields f{.width = 4,
                .height = 3,
                .bitCount = 8,
                .compression = 1,
                .coloursUsed = 4,
                .palette = {c0, c1, c2, c3}};
    f.pixelData = std::string(
        "\x02\x01"              // two of index 1
        "\x00\x03\x02\x03\x01"  // three literal indexes, the last beyond the row's end
        "\x00"                  // padding to a whole word
        "\x00\x00"              // end of row
        "\x00\x02\x01\x01"      // skip one column and one row
        "\x01\x03"              // one of index 3
        "\x00\x01",             // end of bitmap
        18);
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 4, 3,
                  {c0, c3, c0, c0, c0, c0, c0, c0, c1, c1, c2, c3});
  }
  {
    SCOPED_TRACE("RLE4, ending after its last row without an end-of-bitmap mark");
    BmpFields f{.width = 5,
                .height = 2,
                .bitCount = 4,
                .compression = 2,
                .coloursUsed = 4,
                .palette = {c0, c1, c2, c3}};
    f.pixelData = std::string(
        "\x03\x12"              // indexes 1 2 1
        "\x00\x03\x30\x20"      // literal 3 0 2, the last beyond the row's end
        "\x00\x00"              // end of row
        "\x00\x05\x12\x31\x20"  // literal 1 2 3 1 2
        "\x00"                  // padding
        "\x00\x00",             // end of the last row
        16);
    ExpectPicture(DecodeBitmap(BuildBmp(f)), 5, 2, {c1, c2, c3, c1, c2, c1, c2, c1, c3, c0});
  }
  {
    SCOPED_TRACE("data ending inside the picture");
    BmpFields f{.width = 4,
                .height = 2,
                .bitCount = 8,
                .compression = 1,
                .coloursUsed = 1,
                .palette = {c0}};
    f.pixelData = std::string("\x04\x00\x00\x00", 4);
    EXPECT_EQ(ErrorOf(BuildBmp(f)), messages::kStreamReadError);
  }
}

TEST(BitmapDecodeTest, EmptyFileAndEmptyPictureHoldNoPixels) {
  EXPECT_TRUE(DecodeBitmap("").Empty());
  EXPECT_TRUE(DecodeBitmap(BuildBmp({.width = 0, .height = 5, .bitCount = 24})).Empty());
  EXPECT_TRUE(DecodeBitmap(BuildBmp({.width = 7, .height = 0, .bitCount = 24})).Empty());
}

// --- invalid and damaged files ---------------------------------------------------------------

TEST(BitmapDecodeTest, HeadersThisReaderDoesNotKnowAreInvalid) {
  const BmpFields good{.width = 1, .height = 1, .bitCount = 24, .pixelData = PaddedRows({"abc"})};
  std::string notBm = BuildBmp(good);
  notBm[1] = 'A';
  EXPECT_EQ(ErrorOf(notBm), messages::kInvalidBitmap);

  std::vector<BmpFields> invalid;
  for (uint32_t size : {0u, 16u, 64u, 108u, 124u}) {
    BmpFields f = good;
    f.headerSize = size;
    invalid.push_back(f);
  }
  for (uint16_t bits : {0, 2, 3, 30000}) {
    BmpFields f = good;
    f.bitCount = bits;
    invalid.push_back(f);
  }
  const std::vector<std::pair<uint16_t, uint32_t>> badCompressions = {
      {24, 4}, {24, 5}, {4, 1}, {8, 2}, {24, 1}, {8, 3}, {24, 3}};
  for (const auto& [bits, compression] : badCompressions) {
    BmpFields f = good;
    f.bitCount = bits;
    f.compression = compression;
    invalid.push_back(f);
  }
  BmpFields negativeWidth = good;
  negativeWidth.width = -1;
  invalid.push_back(negativeWidth);
  BmpFields topDownRunLength = good;
  topDownRunLength.bitCount = 8;
  topDownRunLength.compression = 1;
  topDownRunLength.height = -1;
  invalid.push_back(topDownRunLength);

  for (const BmpFields& f : invalid) {
    SCOPED_TRACE(::testing::Message()
                 << "header " << f.headerSize << ", " << f.bitCount << " bits, compression "
                 << f.compression << ", width " << f.width << ", height " << f.height);
    EXPECT_EQ(ErrorOf(BuildBmp(f)), messages::kInvalidBitmap);
  }
}

TEST(BitmapDecodeTest, AFileCutAnywhereIsAStreamReadError) {
  std::vector<BmpFields> files = {
      {.width = 3,
       .height = 2,
       .bitCount = 8,
       .coloursUsed = 3,
       .palette = {1, 2, 3},
       .pixelData = PaddedRows({std::string("\x00\x01\x02", 3), std::string("\x02\x01\x00", 3)})},
      {.headerSize = 12,
       .width = 2,
       .height = 1,
       .bitCount = 1,
       .palette = {1, 2},
       .pixelData = PaddedRows({"\x80"})},
      {.width = 2,
       .height = 2,
       .bitCount = 16,
       .compression = 3,
       .masks = {0xF800, 0x07E0, 0x001F},
       .pixelData = PaddedRows({"abcd", "efgh"})},
      {.width = 2,
       .height = 1,
       .bitCount = 8,
       .compression = 1,
       .coloursUsed = 2,
       .palette = {1, 2},
       .pixelData = std::string("\x02\x01\x00\x01", 4)},
  };
  for (const BmpFields& f : files) {
    const std::string whole = BuildBmp(f);
    ASSERT_EQ(ErrorOf(whole), "") << f.bitCount << " bits";
    for (size_t length = 1; length < whole.size(); ++length) {
      SCOPED_TRACE(::testing::Message() << f.bitCount << " bits cut to " << length << " of "
                                        << whole.size() << " bytes");
      EXPECT_EQ(ErrorOf(whole.substr(0, length)), messages::kStreamReadError);
    }
  }
}

TEST(BitmapDecodeTest, ClaimsBeyondTheFileFailWithoutLargeAllocations) {
  constexpr size_t kSmall = 64 * 1024;
  const std::string filler(120, 'x');
  const std::vector<std::pair<BmpFields, const char*>> claims = {
      {{.width = 100000, .height = 100000, .bitCount = 24, .pixelData = filler},
       messages::kStreamReadError},
      {{.width = 100000, .height = -100000, .bitCount = 1, .palette = {0, 1}, .pixelData = filler},
       messages::kStreamReadError},
      {{.width = 2, .height = 2, .bitCount = 8, .coloursUsed = 0x7FFFFFFF, .pixelData = filler},
       messages::kStreamReadError},
      {{.width = 2, .height = 2, .bitCount = 24, .coloursUsed = 0xFFFFFFFF, .pixelData = filler},
       messages::kStreamReadError},
      {{.width = 100000,
        .height = 100000,
        .bitCount = 8,
        .compression = 1,
        .coloursUsed = 1,
        .palette = {0},
        .pixelData = std::string("\x00\x01", 2)},
       messages::kInvalidBitmap},
  };
  for (const auto& [fields, expected] : claims) {
    SCOPED_TRACE(::testing::Message() << fields.width << " x " << fields.height << ", "
                                      << fields.coloursUsed << " colours");
    const std::string bytes = BuildBmp(fields);
    testing::AllocationProbe probe;
    EXPECT_EQ(ErrorOf(bytes), expected);
    EXPECT_LT(probe.Largest(), kSmall);
  }
}

}  // namespace
}  // namespace startgarten
