#include "bootfile/boot_file.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

class BootFileTest : public test_support::BootDriveTest {
 protected:
  void ExpectHostDriveMissingBox() {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Fehler");
    EXPECT_EQ(boxes.shown[0].title, "HOST-Laufwerk nicht gefunden");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::kOk);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kNone);
  }
};

TEST_F(BootFileTest, LowersTheProtectionWhileOpenAndRestoresItOnClose) {
  WriteBootFile({"BootGUI=1"});
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  ASSERT_TRUE(bootFile);
  EXPECT_EQ(bootFile->Path(), "C:\\msdos.sys");
  EXPECT_EQ(BootFileAttributes(), 0x20u);
  bootFile->Ini().WriteNumber("Options", "BootGUI", 0);
  CloseBootFile(bootFile);
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(BootFileTest, HostDriveElsewhereGetsTheAttributeWordOfDriveC) {
  drive.Write("MSDOS.SYS", test_support::CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  drive.MapDrive('h');
  drive.Write("MSDOS.SYS", test_support::CrLf({"[Options]", "BootGUI=1"}), 'h');
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  ASSERT_TRUE(bootFile);
  EXPECT_EQ(bootFile->Path(), "H:\\msdos.sys");
  EXPECT_EQ(bootFile->Ini().ReadText("OPTIONS", "BootGUI", ""), "1");
  EXPECT_EQ(BootFileAttributes(), kProtected);  // drive C's file is protected again
  CloseBootFile(bootFile);
  EXPECT_EQ(platform::GetFileAttributes("h:\\msdos.sys"), kProtected);
}

TEST_F(BootFileTest, MissingHostDriveShowsTheBoxAndKeepsTheAttributes) {
  WriteBootFile({"BootGUI=1"});
  drive.Write("MSDOS.SYS", test_support::CrLf({"[Paths]", "HostWinBootDrv="}));
  Protect();
  EXPECT_FALSE(OpenBootFile(boxes));
  ExpectHostDriveMissingBox();
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(BootFileTest, MissingBootFileShowsTheBox) {
  EXPECT_FALSE(OpenBootFile(boxes));
  ExpectHostDriveMissingBox();
}

TEST_F(BootFileTest, HostileDriveTextsOpenNothingOutsideTheDrives) {
  for (const char* text : {"..", "/", "C:\\..\\..", "c:", "../etc", "/tmp/x"}) {
    drive.Write("MSDOS.SYS",
                test_support::CrLf({"[Paths]", std::string("HostWinBootDrv=") + text}));
    std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
    ASSERT_TRUE(bootFile) << text;
    EXPECT_EQ(bootFile->Ini().ReadText("Options", "BootGUI", "none"), "none") << text;
    EXPECT_THROW(bootFile->Ini().WriteNumber("Options", "BootGUI", 1), Error) << text;
  }
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"MSDOS.SYS"}));
}

TEST_F(BootFileTest, AnErrorWhileOpenStillRestoresTheProtection) {
  WriteBootFile({"BootGUI=1"});
  try {
    std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
    throw Error("failed in the middle");
  } catch (const Error&) {
  }
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

}  // namespace
}  // namespace startgarten
