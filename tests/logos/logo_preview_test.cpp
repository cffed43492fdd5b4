#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "logos/bitmap_reader.h"
#include "logos/logo_messages.h"
#include "logos/logo_preview.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/windows_error.h"
#include "tests/logos/bmp_builder.h"
#include "tests/platform/temp_drive.h"

namespace startgarten {
namespace {

using Names = std::set<std::string>;

struct ShownBox {
  std::string text;
  std::string title;
  MessageButtons buttons;
  MessageIcon icon;
  bool operator==(const ShownBox&) const = default;
};

class RecordingBoxes : public MessageBoxService {
 public:
  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override {
    shown.push_back({text, title, buttons, icon});
    return MessageResult::kOk;
  }
  std::vector<ShownBox> shown;
};

// A picture of one pixel of this colour (0xRRGGBB).
std::string Picture(uint32_t colour) {
  testing::BmpFields fields;
  fields.width = fields.height = 1;
  fields.bitCount = 24;
  fields.pixelData = {char(colour), char(colour >> 8), char(colour >> 16), 0};
  return testing::BuildBmp(fields);
}

// The colour an image shows, 0 when it has no picture.
uint32_t Shown(const TImage& image) {
  return image.Picture.Empty() ? 0 : image.Picture.pixels[0] & 0xFFFFFF;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

class LogoPreviewTest : public ::testing::Test {
 protected:
  const std::string dusk = Picture(0x112233);
  const std::string night = Picture(0x010203);
  const std::string text = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n";

  void Put(const std::string& name, const std::string& bytes) {
    drive.Write("WINDOWS/" + name, bytes);
  }
  std::optional<std::string> Held(const std::string& name) const {
    return drive.Read("WINDOWS/" + name);
  }
  Names InWindows() const { return drive.Entries("WINDOWS"); }
  // Runs the preview; the message of the error that ended it, or "".
  std::string Preview() {
    return ErrorOf([this] { LoadLogoPreview(image1, image2, boxes); });
  }
  std::vector<ShownBox> BoxFor(uint32_t windowsError) const {
    return {{platform::SystemErrorText(windowsError), "", MessageButtons::kOk, MessageIcon::kNone}};
  }

  test_support::TempDrive drive;
  RecordingBoxes boxes;
  TImage image1, image2;
};

TEST_F(LogoPreviewTest, BothPicturesAreShownAndKeepTheirNames) {
  Put("logow.sys", dusk);
  Put("logos.sys", night);
  EXPECT_EQ(Preview(), "");
  EXPECT_EQ(Shown(image1), 0x112233u);
  EXPECT_EQ(Shown(image2), 0x010203u);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk);
  EXPECT_EQ(Held("logos.sys"), night);
}

// Names match without regard to case; the renames leave the files under the preview's names.
TEST_F(LogoPreviewTest, PicturesNamedInCapitalsAreFound) {
  Put("LOGOW.SYS", dusk);
  Put("LOGOS.SYS", night);
  EXPECT_EQ(Preview(), "");
  EXPECT_EQ(Shown(image1), 0x112233u);
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.sys"}));
}

TEST_F(LogoPreviewTest, TheWindowsDirectoryOfTheBootFileIsUsedAndAnEmptyFileShowsNothing) {
  drive.Write("MSDOS.SYS", "[Paths]\r\nWinDir=C:\\WIN95\r\n");
  drive.Write("WIN95/logow.sys", dusk);
  drive.Write("WIN95/logos.sys", "");
  EXPECT_EQ(Preview(), "");
  EXPECT_EQ(Shown(image1), 0x112233u);
  EXPECT_TRUE(image2.Picture.Empty());
  EXPECT_EQ(drive.Entries("WIN95"), (Names{"logos.sys", "logow.sys"}));
}

TEST_F(LogoPreviewTest, MissingLogosEndsThePreviewBeforeLogow) {
  Put("logow.sys", dusk);
  EXPECT_EQ(Preview(), "Datei nicht gefunden");
  EXPECT_TRUE(image1.Picture.Empty());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(InWindows(), Names{"logow.sys"});
}

TEST_F(LogoPreviewTest, MissingLogowIsReportedThenItsLoadFails) {
  Put("logos.sys", night);
  EXPECT_EQ(Preview(), FormatMessageText(messages::kCannotOpenFile, "C:\\WINDOWS\\logow.BMP"));
  EXPECT_EQ(boxes.shown, BoxFor(platform::kErrorFileNotFound));
  EXPECT_EQ(Shown(image2), 0x010203u);
  EXPECT_EQ(InWindows(), Names{"logos.sys"});
}

TEST_F(LogoPreviewTest, StaleLogosBmpStopsThePreviewAndIsLeftAsItWas) {
  Put("logow.sys", dusk);
  Put("logos.sys", night);
  Put("logos.BMP", dusk);
  EXPECT_EQ(Preview(), "I/O-Fehler 183");
  EXPECT_TRUE(image2.Picture.Empty());
  EXPECT_EQ(InWindows(), (Names{"logos.BMP", "logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logos.sys"), night);
}

TEST_F(LogoPreviewTest, StaleLogowBmpIsShownButCannotTakeTheNameOfLogowSys) {
  Put("logow.sys", dusk);
  Put("logos.sys", night);
  Put("logow.BMP", night);
  EXPECT_EQ(Preview(), "I/O-Fehler 183");
  EXPECT_EQ(boxes.shown, BoxFor(platform::kErrorAlreadyExists));
  EXPECT_EQ(Shown(image1), 0x010203u);
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.BMP", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk);
}

TEST_F(LogoPreviewTest, ALogowLeftUnderItsBmpNameGetsItsNameBack) {
  Put("logos.sys", night);
  Put("logow.BMP", dusk);
  EXPECT_EQ(Preview(), "");
  EXPECT_EQ(boxes.shown, BoxFor(platform::kErrorFileNotFound));
  EXPECT_EQ(Shown(image1), 0x112233u);
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.sys"}));
}

// A picture that fails to load is given back its own name before the error goes on, so that
// Windows keeps its shutdown picture.
TEST_F(LogoPreviewTest, APictureThatIsNoBitmapKeepsItsName) {
  Put("logos.sys", text);
  Put("logow.sys", dusk);
  EXPECT_EQ(Preview(), messages::kInvalidBitmap);
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logos.sys"), text);

  Put("logos.sys", night);
  Put("logow.sys", dusk.substr(0, 40));
  EXPECT_EQ(Preview(), messages::kStreamReadError);
  EXPECT_EQ(Shown(image2), 0x010203u);
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk.substr(0, 40));
}

TEST_F(LogoPreviewTest, ALogowLeftUnderItsBmpNameThatIsNoBitmapGetsItsNameBack) {
  Put("logos.sys", night);
  Put("logow.BMP", text);
  EXPECT_EQ(Preview(), messages::kInvalidBitmap);
  EXPECT_EQ(boxes.shown, BoxFor(platform::kErrorFileNotFound));
  EXPECT_EQ(InWindows(), (Names{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), text);
}

TEST(LoadPictureFromFileTest, TheExtensionChoosesTheReaderBeforeTheFileIsOpened) {
  test_support::TempDrive drive;
  drive.Write("pic.bmp", Picture(0xABCDEF));
  drive.Write("empty.bmp", "");
  drive.Write("pic.gif", Picture(0xABCDEF));
  EXPECT_EQ(LoadPictureFromFile("C:\\PIC.Bmp").pixels, std::vector<uint32_t>{0xFFABCDEF});
  EXPECT_TRUE(LoadPictureFromFile("C:\\empty.bmp").Empty());
  const auto errorOf = [](const std::string& name) {
    return ErrorOf([&] { LoadPictureFromFile(name); });
  };
  EXPECT_EQ(errorOf("C:\\pic.GIF"), "Unbekannte Bilddateierweiterung (.gif)");
  EXPECT_EQ(errorOf("C:\\missing.gif"), "Unbekannte Bilddateierweiterung (.gif)");
  EXPECT_EQ(errorOf("C:\\BMP.DIR\\pic"), "Unbekannte Bilddateierweiterung (.)");
  EXPECT_EQ(errorOf("C:\\missing.bmp"),
            FormatMessageText(messages::kCannotOpenFile, "C:\\missing.bmp"));
}

}  // namespace
}  // namespace startgarten
