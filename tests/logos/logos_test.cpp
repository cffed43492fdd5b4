// The picture reader: pixel formats, refused headers, cut and hostile files, the BMP suite's
// invalid files; the shutdown-picture preview and the picture loader's extension rule.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "logos/bitmap_reader.h"
#include "logos/logo_preview.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"
#include "support/allocation_probe.h"
#include "support/bmp_files.h"
#include "support/bmp_suite.h"
#include "support/error_of.h"
#include "support/recording_message_boxes.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using namespace test_support;

using namespace std::string_literals;

const std::string kInvalid = messages::kInvalidBitmap;
const std::string kShort = messages::kStreamReadError;

// The reader's error for the bytes, "" when they decode; either way the decode must not have
// allocated more than a small file can justify.
std::string DecodeError(const std::string& bytes) {
  LargestAllocation() = 0;
  std::string error = ErrorOf([&] { DecodeBitmap(bytes); });
  EXPECT_LT(LargestAllocation(), 64u * 1024u);
  return error;
}

// What the BMP suite does not hold: unused bits, short colour tables, odd masks, run-length
// skips and literals running past the row's end. Each file cut anywhere is too short.
TEST(BitmapDecodeTest, PixelFormatsAndEveryCutOfTheirFiles) {
  // Colours as the reader gives them, opaque; a colour table ignores the alpha byte.
  const uint32_t a = 0xFF102030, b = 0xFFA0B0C0, c = 0xFF405060, d = 0xFFD0E0F0, k = 0xFF000000;
  std::vector<uint32_t> coreTable;
  for (uint32_t i = 0; i < 16; ++i) coreTable.push_back(k + i * 0x100001);
  // A run, a literal past the row's end with its padding, end of row, a skip of one column and
  // one row, a run, end of bitmap.
  const std::string rle8 =
      "\x02\x01\x00\x03\x02\x03\x01\x00\x00\x00\x00\x02\x01\x01\x01\x03\x00\x01"s;
  // A run, a literal past the row's end, end of row, a literal with padding, end of the last row.
  const std::string rle4 = "\x03\x12\x00\x03\x30\x20\x00\x00\x00\x05\x12\x31\x20\x00\x00\x00"s;
  const std::vector<std::pair<BmpFields, std::vector<uint32_t>>> cases = {
      {{3, 2, 1, "\xBF\xFF\xFF\xFF\x7F\xFF\xFF\xFF", {a, b}}, {a, b, b, b, a, b}},
      {{3, 1, 8, "\x01\x00\x05\x00"s, {a, b}}, {b, a, k}},  // beyond the table: black
      {{2, 2, 4, "\x1F\0\0\0\x20\0\0\0"s, coreTable, 0, {}, 12},
       {0xFF200002, k, 0xFF100001, 0xFFF0000F}},
      // 5-5-5, top-down, the top bit ignored
      {{2, -2, 16, "\x00\x7C\xE0\x03\x1F\x80\xFF\x7F"s},
       {0xFFF80000, 0xFF00F800, 0xFF0000F8, 0xFFF8F8F8}},
      {{1, 1, 32, "\x11\x22\x33\x44", {}, 3, {0xFF, 0xFF00, 0xFF0000}}, {0xFF112233}},
      {{1, 1, 32, "\xFF\x03\x00\x20"s, {}, 3, {0x3FF00000, 0xFFC00, 0x3FF}}, {0xFF8000FF}},
      {{4, 3, 8, rle8, {a, b, c, d}, 1}, {a, d, a, a, a, a, a, a, b, b, c, d}},
      {{5, 2, 4, rle4, {a, b, c, d}, 2}, {b, c, d, b, c, b, c, b, d, a}},
  };
  EXPECT_TRUE(DecodeBitmap("").Empty());
  for (const auto& [fields, pixels] : cases) {
    SCOPED_TRACE(testing::PrintToString(pixels));
    const std::string bytes = BuildBmp(fields);
    const TPicture picture = DecodeBitmap(bytes);
    EXPECT_EQ(std::pair(picture.width, picture.pixels), std::pair(fields.width, pixels));
    for (size_t length = 1; length < bytes.size(); ++length)
      EXPECT_EQ(DecodeError(bytes.substr(0, length)), kShort) << "cut to " << length;
  }
}

// Unknown headers are invalid; sizes and colour tables the file cannot hold fail before anything
// of their size is allocated.
TEST(BitmapDecodeTest, HeadersTheReaderRefuses) {
  const std::string filler(140, 'x');  // a file of 200 bytes
  std::vector<std::pair<std::string, std::string>> cases = {
      {"BA" + BuildBmp({}).substr(2), kInvalid},
      {BuildBmp({-1}), kInvalid},
      {BuildBmp({1, -1, 8, "", {}, 1}), kInvalid},  // top-down run-length
      {BuildBmp({100000, 100000, 24, filler}), kShort},
      {BuildBmp({1, 1, 8, filler, {}, 0, {}, 40, 0x7FFFFFFF}), kShort},
      {BuildBmp({1, 1, 24, filler, {}, 0, {}, 40, 0xFFFFFFFF}), kShort},
  };
  for (uint32_t size : {0u, 16u, 64u, 108u, 124u})
    cases.emplace_back(BuildBmp({.headerSize = size}), kInvalid);
  for (uint16_t bits : {0, 2, 3, 30000}) cases.emplace_back(BuildBmp({.bitCount = bits}), kInvalid);
  for (auto [bits, compression] : std::vector<std::pair<uint16_t, uint32_t>>{
           {24, 4}, {24, 5}, {4, 1}, {8, 2}, {24, 1}, {8, 3}, {24, 3}})
    cases.emplace_back(BuildBmp({1, 1, bits, "", {}, compression}), kInvalid);
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(DecodeError(cases[i].first), cases[i].second) << "case " << i;
}

// A run-length header claims its size in a few bytes: the largest picture is built in full, one
// row or column more is refused before anything of its size is allocated.
TEST(BitmapDecodeTest, TheLargestRunLengthPictureAndOneBeyond) {
  const uint32_t a = 0xFF102030, b = 0xFFA0B0C0;
  const std::string twoPixelsThenEnd = "\x02\x01\x00\x01"s;
  const TPicture picture = DecodeBitmap(BuildBmp({4096, 4096, 8, twoPixelsThenEnd, {a, b}, 1}));
  ASSERT_EQ(picture.pixels.size(), size_t{4096} * 4096);
  const auto bottomRow = picture.pixels.begin() + ptrdiff_t{4095} * 4096;
  EXPECT_EQ(std::vector(bottomRow, bottomRow + 3), (std::vector{b, b, a}));
  EXPECT_EQ(picture.pixels[0], a);
  for (auto [width, height] : {std::pair{4097, 4096}, std::pair{4096, 4097}})
    EXPECT_EQ(DecodeError(BuildBmp({width, height, 8, twoPixelsThenEnd, {a, b}, 1})), kInvalid);
}

// Each file ends in one of the reader's errors or in a picture (sizes and densities it never uses,
// bad run-length codes it clips), without a crash. Each kind of damage that must end in an error
// is made by HeadersTheReaderRefuses and the cuts of PixelFormatsAndEveryCutOfTheirFiles.
TEST(BitmapDecodeTest, InvalidFilesOfTheBmpSuiteEndInAnErrorOrAPicture) {
  const auto files = BmpSuite("b");
  ASSERT_EQ(files.size(), kBmpSuiteInvalidFiles);
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    const std::string error = DecodeError(bytes);
    EXPECT_TRUE(error == "" || error == kInvalid || error == kShort) << error;
  }
}

// A Windows directory is written "name:content ..." by name, each content a letter: D and N
// the pictures of dusk and night, T a text. An image shows D, N or nothing (-).
TEST(LogoPreviewTest, PicturesAreShownWhereTheyAreAndKeepTheirNames) {
  // Pictures of one pixel, 0x112233 and 0x010203, its bytes blue, green, red and padding.
  const std::map<char, std::string> contents = {{'D', BuildBmp({1, 1, 24, "\x33\x22\x11\0"s})},
                                                {'N', BuildBmp({1, 1, 24, "\x03\x02\x01\0"s})},
                                                {'T', "[Paths]\r\nWinDir=C:\\WIN95\r\n"}};
  const auto shown = [](const TImage& image) {
    return image.Picture.Empty() ? '-' : image.Picture.pixels[0] == 0xFF112233 ? 'D' : 'N';
  };
  const std::string kNoLogow = FormatMessageText(messages::kCannotOpenFile, "C:\\WIN95\\logow.BMP");
  // The directory before and after (none: as before), the error that ended the preview, the
  // Windows error of the warning about logow.sys and what image1 and image2 show.
  using Scenario = std::tuple<std::string, std::string, std::string, uint32_t, std::string>;
  const std::vector<Scenario> scenarios = {
      // Names match without regard to case; the pictures are read where they are.
      {"LOGOS.SYS:N LOGOW.SYS:D", "", "", 0, "DN"},
      {"logow.sys:D", "", "Datei nicht gefunden", 0, "--"},
      {"logos.sys:N", "", kNoLogow, platform::kErrorFileNotFound, "-N"},
      {"logos.BMP:D logos.sys:N logow.BMP:N logow.sys:D", "", "", 0, "DN"},
      // A picture that an earlier version left under its ".BMP" name gets its own name back.
      {"logos.BMP:N logow.BMP:D", "logos.sys:N logow.sys:D", "", 0, "DN"},
      {"logos.sys:T logow.sys:D", "", kInvalid, 0, "--"},
      {"logos.sys:N logow.BMP:T", "logos.sys:N logow.sys:T", kInvalid, 0, "-N"},
  };
  for (const auto& [before, after, error, warning, images] : scenarios) {
    SCOPED_TRACE(before);
    TempDrive drive;
    drive.Write("MSDOS.SYS", contents.at('T'));
    std::istringstream files(before);
    for (std::string file; files >> file;)
      drive.Write("WIN95/" + file.substr(0, file.size() - 2), contents.at(file.back()));
    RecordingMessageBoxes boxes;
    TImage image1, image2;
    EXPECT_EQ(ErrorOf([&] { LoadLogoPreview(image1, image2, boxes); }), error);
    EXPECT_EQ((std::string{shown(image1), shown(image2)}), images);
    std::string listing;
    for (const std::string& name : drive.Entries("WIN95"))
      for (const auto& [letter, content] : contents)
        if (content == drive.Read("WIN95/" + name)) listing += name + ":" + letter + " ";
    EXPECT_EQ(listing, (after.empty() ? before : after) + " ");
    EXPECT_EQ(boxes.Texts(), warning == 0 ? std::vector<std::string>{}
                                          : std::vector{platform::SystemErrorText(warning)});
    for (const auto& box : boxes.shown) EXPECT_EQ(box.title, "");
  }
}

}  // namespace
}  // namespace startgarten
