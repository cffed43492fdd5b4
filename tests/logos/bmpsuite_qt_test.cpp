// Qt's own BMP reader is the reference for what the valid files of the suite must show.
#include <gtest/gtest.h>

#include <QImage>

#include "logos/bitmap_reader.h"
#include "support/bmp_suite.h"

namespace startgarten {
namespace {

using namespace test_support;

TEST(BmpSuiteQtTest, KnownHeadersGiveQtsPixels) {
  const auto files = BmpSuite("g");
  ASSERT_EQ(files.size(), kBmpSuiteValidFiles);
  int compared = 0;
  for (const auto& [name, bytes] : files) {
    if (bytes[14] != 12 && bytes[14] != 40) continue;  // the information header's size
    SCOPED_TRACE(name);
    const QImage reference = QImage::fromData(QByteArray::fromStdString(bytes), "BMP");
    ASSERT_FALSE(reference.isNull());
    const TPicture picture = DecodeBitmap(bytes);
    const QImage decoded(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                         picture.height, QImage::Format_RGB32);
    // Equality of RGB32 images ignores the unused byte, which Qt may leave in its pixels.
    EXPECT_TRUE(decoded == reference.convertToFormat(QImage::Format_RGB32));
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace startgarten
