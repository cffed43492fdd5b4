#include <gtest/gtest.h>

#include "app/form1.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

// A shutdown picture that is a folder: renaming it works as for a file, reading it does not.
// The start shows the error, gives the folder its name back and still reads the boot file.
TEST(HostileStart, ALogoThatIsAFolderIsNotReadAndKeepsItsName) {
  test_support::TempDrive drive;
  drive.Write("MSDOS.SYS",
              test_support::CrLf({"[Paths]", "HostWinBootDrv=C", "[Options]", "BootMenu=1"}));
  drive.Write("WINDOWS/logos.sys/inside", "not a picture");
  RecordingMessageBoxes boxes;
  TForm1 window(boxes, "Startgarten");
  window.HandleEvent([&] { window.FormCreate(); });
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Kann Datei C:\\WINDOWS\\logos.BMP nicht \xF6"
                                                    "ffnen."});
  EXPECT_EQ(drive.Entries("WINDOWS"), std::set<std::string>{"logos.sys"});
  EXPECT_EQ(drive.Read("WINDOWS/logos.sys/inside"), "not a picture");
  EXPECT_TRUE(window.Image2.Picture.Empty());
  EXPECT_TRUE(window.CheckBox1.Checked());
}

}  // namespace
}  // namespace startgarten
