#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "logos/bitmap_reader.h"
#include "logos/logo_messages.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "tests/logos/allocation_probe.h"
#include "tests/logos/bmpsuite.h"

namespace startgarten {
namespace {

using testing::BmpSuiteDirectory;
using testing::BmpSuiteFiles;
using testing::InfoHeaderSize;
using testing::ReadBytes;

// Every file of the suite is at most a few tens of kilobytes; no decode may reserve much more.
constexpr size_t kMaxAllocation = 1 << 20;

TEST(BmpSuiteTest, ValidFilesDecodeUnlessTheirHeaderIsUnknown) {
  const auto suite = BmpSuiteDirectory();
  if (!suite) GTEST_SKIP() << "bmpsuite test data not found";
  for (const auto& file : BmpSuiteFiles(*suite / "g")) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = ReadBytes(file);
    const uint32_t headerSize = InfoHeaderSize(bytes);
    if (headerSize == 12 || headerSize == 40) {
      const TPicture picture = DecodeBitmap(bytes);
      EXPECT_FALSE(picture.Empty());
      EXPECT_EQ(picture.pixels.size(), size_t(picture.width) * size_t(picture.height));
    } else {
      try {
        DecodeBitmap(bytes);
        ADD_FAILURE() << "decoded a " << headerSize << "-byte header";
      } catch (const Error& error) {
        EXPECT_STREQ(error.what(), messages::kInvalidBitmap);
      }
    }
  }
}

// The suite stores one picture in many encodings; those of a group hold exactly the same colours.
TEST(BmpSuiteTest, EncodingsOfTheSamePictureDecodeAlike) {
  const auto suite = BmpSuiteDirectory();
  if (!suite) GTEST_SKIP() << "bmpsuite test data not found";
  const std::vector<std::vector<std::string>> groups = {
      {"pal4.bmp", "pal4rle.bmp"},
      {"pal8.bmp", "pal8-0.bmp", "pal8os2.bmp", "pal8rle.bmp", "pal8topdown.bmp"},
      {"rgb16.bmp", "rgb16bfdef.bmp"},
      {"rgb24.bmp", "rgb24pal.bmp", "rgb32.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp"},
  };
  for (const auto& group : groups) {
    const TPicture first = DecodeBitmap(ReadBytes(*suite / "g" / group.front()));
    for (size_t i = 1; i < group.size(); ++i) {
      SCOPED_TRACE(group[i]);
      const TPicture other = DecodeBitmap(ReadBytes(*suite / "g" / group[i]));
      EXPECT_EQ(other.width, first.width);
      EXPECT_EQ(other.height, first.height);
      EXPECT_EQ(other.pixels, first.pixels);
    }
  }
}

TEST(BmpSuiteTest, InvalidFilesEndInTheReadersErrorsOrAPicture) {
  const auto suite = BmpSuiteDirectory();
  if (!suite) GTEST_SKIP() << "bmpsuite test data not found";
  // Damage the reader must notice; the rest (wrong sizes and densities it never uses, bad
  // run-length codes it clips) may decode.
  const std::map<std::string, std::string> expectedErrors = {
      {"badbitcount.bmp", messages::kInvalidBitmap},
      {"badheadersize.bmp", messages::kInvalidBitmap},
      {"badwidth.bmp", messages::kInvalidBitmap},
      {"rletopdown.bmp", messages::kInvalidBitmap},
      {"badpalettesize.bmp", messages::kStreamReadError},
      {"reallybig.bmp", messages::kStreamReadError},
      {"shortfile.bmp", messages::kStreamReadError},
  };
  const auto files = BmpSuiteFiles(*suite / "b");
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) {
    const std::string name = file.filename().string();
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(file);
    testing::AllocationProbe probe;
    std::string error;
    try {
      const TPicture picture = DecodeBitmap(bytes);
      EXPECT_EQ(picture.pixels.size(), size_t(picture.width) * size_t(picture.height));
    } catch (const Error& e) {
      error = e.what();
      EXPECT_TRUE(error == messages::kInvalidBitmap || error == messages::kStreamReadError)
          << error;
    }
    EXPECT_LT(probe.Largest(), kMaxAllocation);
    if (const auto expected = expectedErrors.find(name); expected != expectedErrors.end()) {
      EXPECT_EQ(error, expected->second);
    }
  }
}

}  // namespace
}  // namespace startgarten
