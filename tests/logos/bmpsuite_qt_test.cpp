// Qt's own BMP reader is the reference for what the valid files of the suite must show.
#include <gtest/gtest.h>

#include <QImage>

#include "logos/bitmap_reader.h"
#include "tests/logos/bmpsuite.h"

namespace startgarten {
namespace {

using testing::BmpSuiteDirectory;
using testing::BmpSuiteFiles;
using testing::InfoHeaderSize;
using testing::ReadBytes;

TEST(BmpSuiteQtTest, KnownHeadersGiveQtsPixels) {
  const auto suite = BmpSuiteDirectory();
  if (!suite) GTEST_SKIP() << "bmpsuite test data not found";
  int compared = 0;
  for (const auto& file : BmpSuiteFiles(*suite / "g")) {
    const std::string bytes = ReadBytes(file);
    const uint32_t headerSize = InfoHeaderSize(bytes);
    if (headerSize != 12 && headerSize != 40) continue;
    SCOPED_TRACE(file.filename().string());

    QImage reference;
    ASSERT_TRUE(reference.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                       static_cast<int>(bytes.size()), "BMP"));
    // None of these formats carries alpha; Qt may still leave the unused byte in the pixel.
    reference = reference.convertToFormat(QImage::Format_RGB32);
    const TPicture picture = DecodeBitmap(bytes);
    ASSERT_EQ(picture.width, reference.width());
    ASSERT_EQ(picture.height, reference.height());
    int differing = 0;
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const uint32_t expected = reference.pixel(x, y) | 0xFF000000;
        const uint32_t actual = picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)];
        if (actual != expected && differing++ == 0) {
          ADD_FAILURE() << "first difference at " << x << "," << y << ": " << std::hex << actual
                        << " instead of " << expected;
        }
      }
    }
    EXPECT_EQ(differing, 0);
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace startgarten
