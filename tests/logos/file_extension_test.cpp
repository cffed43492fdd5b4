#include <gtest/gtest.h>

#include "logos/file_extension.h"

namespace startgarten {
namespace {

TEST(FileExtensionTest, TheExtensionFollowsTheLastDotOfTheLastComponent) {
  EXPECT_EQ(FileExtension("C:\\WINDOWS\\logos.BMP"), "BMP");
  EXPECT_EQ(FileExtension("C:\\A.B\\archive.tar.bmp"), "bmp");
  EXPECT_EQ(FileExtension("C:\\WIN.95\\logos"), "");
  EXPECT_EQ(FileExtension("A.B:logos"), "");
  EXPECT_EQ(FileExtension("C:\\WINDOWS\\logos."), "");
  EXPECT_EQ(FileExtension(""), "");

  EXPECT_EQ(ChangeFileExtension("C:\\WINDOWS\\logos.sys", ".BMP"), "C:\\WINDOWS\\logos.BMP");
  EXPECT_EQ(ChangeFileExtension("C:\\WIN.95\\logow", ".BMP"), "C:\\WIN.95\\logow.BMP");
  EXPECT_EQ(ChangeFileExtension("C:\\W\\a.b.sys", ".BMP"), "C:\\W\\a.b.BMP");
}

}  // namespace
}  // namespace startgarten
