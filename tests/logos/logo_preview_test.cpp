#include <gtest/gtest.h>

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

struct ShownBox {
  std::string text;
  std::string title;
  MessageButtons buttons;
  MessageIcon icon;
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

// A one-row 24-bit picture of the given colours.
std::string Picture(const std::vector<uint32_t>& colours) {
  std::string row;
  for (uint32_t c : colours) {
    row += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF),
            static_cast<char>(c >> 16 & 0xFF)};
  }
  return testing::BuildBmp({.width = int32_t(colours.size()),
                            .height = 1,
                            .bitCount = 24,
                            .pixelData = testing::PaddedRows({row})});
}

std::vector<uint32_t> Opaque(std::vector<uint32_t> colours) {
  for (uint32_t& c : colours) c |= 0xFF000000;
  return colours;
}

class LogoPreviewTest : public ::testing::Test {
 protected:
  const std::string dusk = Picture({0x112233, 0x445566});
  const std::string night = Picture({0x010203});

  void Put(const std::string& name, const std::string& bytes) {
    drive.Write("WINDOWS/" + name, bytes);
  }
  std::optional<std::string> Held(const std::string& name) const {
    return drive.Read("WINDOWS/" + name);
  }
  std::set<std::string> Names() const { return drive.Entries("WINDOWS"); }

  // Runs the preview; the message of the error that ended it, or none.
  std::optional<std::string> Preview() {
    try {
      LoadLogoPreview(image1, image2, boxes);
    } catch (const Error& error) {
      return error.what();
    }
    return std::nullopt;
  }

  void ExpectOneBoxFor(uint32_t windowsError) const {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, platform::SystemErrorText(windowsError));
    EXPECT_EQ(boxes.shown[0].title, "");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::kOk);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kNone);
  }

  test_support::TempDrive drive;
  RecordingBoxes boxes;
  TImage image1, image2;
};

TEST_F(LogoPreviewTest, BothPicturesAreShownAndKeepTheirNames) {
  Put("logow.sys", dusk);
  Put("logos.sys", night);
  EXPECT_EQ(Preview(), std::nullopt);
  EXPECT_EQ(image1.Picture.pixels, Opaque({0x112233, 0x445566}));
  EXPECT_EQ(image2.Picture.pixels, Opaque({0x010203}));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk);
  EXPECT_EQ(Held("logos.sys"), night);
}

// Names match without regard to case; the renames leave the names the preview uses.
TEST_F(LogoPreviewTest, PicturesNamedInCapitalsAreFound) {
  Put("LOGOW.SYS", dusk);
  Put("LOGOS.SYS", night);
  EXPECT_EQ(Preview(), std::nullopt);
  EXPECT_EQ(image1.Picture.width, 2);
  EXPECT_EQ(image2.Picture.width, 1);
  EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk);
}

TEST_F(LogoPreviewTest, TheWindowsDirectoryOfTheBootFileIsUsed) {
  drive.Write("MSDOS.SYS", "[Paths]\r\nWinDir=C:\\WIN95\r\n");
  drive.Write("WIN95/logow.sys", dusk);
  drive.Write("WIN95/logos.sys", "");
  EXPECT_EQ(Preview(), std::nullopt);
  EXPECT_EQ(image1.Picture.width, 2);
  EXPECT_TRUE(image2.Picture.Empty());
  EXPECT_EQ(drive.Entries("WIN95"), (std::set<std::string>{"logos.sys", "logow.sys"}));
}

TEST_F(LogoPreviewTest, MissingPictures) {
  {
    SCOPED_TRACE("logos.sys missing: the preview ends before logow.sys");
    Put("logow.sys", dusk);
    EXPECT_EQ(Preview(), "Datei nicht gefunden");
    EXPECT_TRUE(image1.Picture.Empty());
    EXPECT_TRUE(image2.Picture.Empty());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Names(), std::set<std::string>{"logow.sys"});
  }
  {
    SCOPED_TRACE("logow.sys missing: a message box, then its load fails");
    std::filesystem::remove(drive.Host("WINDOWS/logow.sys"));
    Put("logos.sys", night);
    EXPECT_EQ(Preview(), FormatMessageText(messages::kCannotOpenFile, "C:\\WINDOWS\\logow.BMP"));
    ExpectOneBoxFor(platform::kErrorFileNotFound);
    EXPECT_EQ(image2.Picture.pixels, Opaque({0x010203}));
    EXPECT_TRUE(image1.Picture.Empty());
    EXPECT_EQ(Names(), std::set<std::string>{"logos.sys"});
  }
}

TEST_F(LogoPreviewTest, StaleLogosBmpStopsThePreviewAndIsLeftAsItWas) {
  Put("logow.sys", dusk);
  Put("logos.sys", night);
  Put("logos.BMP", dusk);
  EXPECT_EQ(Preview(), "I/O-Fehler 183");
  EXPECT_TRUE(image1.Picture.Empty());
  EXPECT_TRUE(image2.Picture.Empty());
  EXPECT_EQ(Names(), (std::set<std::string>{"logos.BMP", "logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logos.sys"), night);
  EXPECT_EQ(Held("logos.BMP"), dusk);
}

TEST_F(LogoPreviewTest, StaleLogowBmpIsShownButCannotTakeTheNameOfLogowSys) {
  Put("logow.sys", dusk);
  Put("logos.sys", night);
  Put("logow.BMP", night);
  EXPECT_EQ(Preview(), "I/O-Fehler 183");
  ExpectOneBoxFor(platform::kErrorAlreadyExists);
  EXPECT_EQ(image1.Picture.pixels, Opaque({0x010203}));
  EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.BMP", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk);
  EXPECT_EQ(Held("logow.BMP"), night);
}

TEST_F(LogoPreviewTest, ALogowLeftUnderItsBmpNameGetsItsNameBack) {
  Put("logos.sys", night);
  Put("logow.BMP", dusk);
  EXPECT_EQ(Preview(), std::nullopt);
  ExpectOneBoxFor(platform::kErrorFileNotFound);
  EXPECT_EQ(image1.Picture.pixels, Opaque({0x112233, 0x445566}));
  EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.sys"}));
  EXPECT_EQ(Held("logow.sys"), dusk);
}

// A picture that fails to load is given back its own name before the error goes on, so Windows
// keeps its shutdown picture.
TEST_F(LogoPreviewTest, APictureThatIsNoBitmapKeepsItsName) {
  const std::string text = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n";
  const std::string cut = night.substr(0, 40);
  {
    SCOPED_TRACE("logos.sys");
    Put("logos.sys", text);
    Put("logow.sys", dusk);
    EXPECT_EQ(Preview(), messages::kInvalidBitmap);
    EXPECT_TRUE(image1.Picture.Empty());
    EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.sys"}));
    EXPECT_EQ(Held("logos.sys"), text);
  }
  {
    SCOPED_TRACE("logow.sys");
    Put("logos.sys", night);
    Put("logow.sys", cut);
    EXPECT_EQ(Preview(), messages::kStreamReadError);
    EXPECT_EQ(image2.Picture.pixels, Opaque({0x010203}));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.sys"}));
    EXPECT_EQ(Held("logow.sys"), cut);
  }
  {
    SCOPED_TRACE("a logow.sys left under its .BMP name");
    std::filesystem::remove(drive.Host("WINDOWS/logow.sys"));
    Put("logow.BMP", text);
    EXPECT_EQ(Preview(), messages::kInvalidBitmap);
    ExpectOneBoxFor(platform::kErrorFileNotFound);
    EXPECT_EQ(Names(), (std::set<std::string>{"logos.sys", "logow.sys"}));
    EXPECT_EQ(Held("logow.sys"), text);
  }
}

TEST(LoadPictureFromFileTest, TheExtensionChoosesTheReaderBeforeTheFileIsOpened) {
  test_support::TempDrive drive;
  drive.Write("pic.bmp", Picture({0xABCDEF}));
  drive.Write("empty.bmp", "");
  drive.Write("pic.gif", Picture({0xABCDEF}));
  EXPECT_EQ(LoadPictureFromFile("C:\\PIC.Bmp").pixels, Opaque({0xABCDEF}));
  EXPECT_TRUE(LoadPictureFromFile("C:\\empty.bmp").Empty());

  const auto errorOf = [](const std::string& name) -> std::string {
    try {
      LoadPictureFromFile(name);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  };
  EXPECT_EQ(errorOf("C:\\pic.GIF"), "Unbekannte Bilddateierweiterung (.gif)");
  EXPECT_EQ(errorOf("C:\\missing.gif"), "Unbekannte Bilddateierweiterung (.gif)");
  EXPECT_EQ(errorOf("C:\\BMP.DIR\\pic"), "Unbekannte Bilddateierweiterung (.)");
  EXPECT_EQ(errorOf("C:\\missing.bmp"),
            FormatMessageText(messages::kCannotOpenFile, "C:\\missing.bmp"));
  EXPECT_EQ(errorOf("C:\\"), "Unbekannte Bilddateierweiterung (.)");
}

}  // namespace
}  // namespace startgarten
