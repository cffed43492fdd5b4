#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "logos/bitmap_reader.h"
#include "tests/logos/bmpsuite.h"

namespace startgarten {
namespace {

using testing::ReadBytes;

// The sample drive's shutdown pictures have the size and format of Windows 95's own.
TEST(SampleDriveTest, ShutdownPicturesAre320By400With8BitsUncompressed) {
  const char* source = std::getenv("STARTGARTEN_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const std::filesystem::path windows = std::filesystem::path(source) / "examples/drive_c/WINDOWS";
  for (const char* name : {"LOGOW.SYS", "LOGOS.SYS"}) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(windows / name);
    // File header, 40-byte header, 256 colours, one byte per pixel in rows of 320.
    EXPECT_EQ(bytes.size(), 14u + 40u + 4u * 256u + 320u * 400u);
    const TPicture picture = DecodeBitmap(bytes);
    EXPECT_EQ(picture.width, 320);
    EXPECT_EQ(picture.height, 400);
  }
}

}  // namespace
}  // namespace startgarten
