#include <gtest/gtest.h>

#include "logos/file_extension.h"
#include "logos/io_error.h"

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

TEST(InOutErrorMessageTest, KnownCodesHaveTheirTextOthersTheirNumber) {
  EXPECT_EQ(InOutErrorMessage(2), "Datei nicht gefunden");
  EXPECT_EQ(InOutErrorMessage(3), "Ung\xFCltiger Dateiname");
  EXPECT_EQ(InOutErrorMessage(4),
            "Zu viele Dateien ge\xF6"
            "ffnet");
  EXPECT_EQ(InOutErrorMessage(5), "Dateizugriff verweigert");
  EXPECT_EQ(InOutErrorMessage(100), "Lesen nach Dateiende (EOF)");
  EXPECT_EQ(InOutErrorMessage(101), "Kapazit\xE4t der Diskette/Festplatte ersch\xF6pft");
  EXPECT_EQ(InOutErrorMessage(106), "Ung\xFCltige numerische Eingabe");
  EXPECT_EQ(InOutErrorMessage(183), "I/O-Fehler 183");
  EXPECT_EQ(InOutErrorMessage(32), "I/O-Fehler 32");
}

}  // namespace
}  // namespace startgarten
