#include "bootfile/boot_file.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/write_set.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

class BootFileTest : public test_support::BootDriveTest {
 protected:
  void ExpectHostDriveMissingBox() {
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Fehler");
    EXPECT_EQ(boxes.shown[0].title, "HOST-Laufwerk nicht gefunden");
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::kOk);
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kNone);
  }

  std::string OpenError() {
    try {
      OpenBootFile(boxes);
    } catch (const Error& error) {
      return error.what();
    }
    return "";
  }
};

// Reading changes nothing on disk; a write command may replace the protected file, which keeps
// its protection; outside a write command the file stays read-only.
TEST_F(BootFileTest, KeepsItsProtectionOnDiskWhileOpenAndAfterAWrite) {
  WriteBootFile({"BootGUI=1"});
  {
    std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
    ASSERT_TRUE(bootFile);
    EXPECT_EQ(bootFile->Path(), "C:\\msdos.sys");
    EXPECT_EQ(BootFileAttributes(), kProtected);
    EXPECT_EQ(bootFile->Ini().ReadNumber("OPTIONS", "BootGUI", -1), 1);
    EXPECT_THROW(bootFile->Ini().WriteNumber("Options", "BootGUI", 0), Error);
  }
  platform::WriteSet writes;
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  bootFile->Ini().WriteNumber("Options", "BootGUI", 0);
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_NE(BootFile().find("BootGUI=1"), std::string::npos);  // nothing written yet
  writes.Commit();
  EXPECT_NE(BootFile().find("BootGUI=0"), std::string::npos);
  EXPECT_EQ(BootFileAttributes(), kProtected);
  EXPECT_TRUE(boxes.shown.empty());
}

// The boot file of another host drive keeps its own attributes, whatever drive C's file has.
TEST_F(BootFileTest, HostDriveElsewhereKeepsItsOwnAttributes) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  drive.MapDrive('h');
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootGUI=1"}), 'h');
  const uint32_t own = platform::GetFileAttributes("h:\\msdos.sys");
  platform::WriteSet writes;
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  ASSERT_TRUE(bootFile);
  EXPECT_EQ(bootFile->Path(), "H:\\msdos.sys");
  bootFile->Ini().WriteNumber("Options", "BootGUI", 0);
  writes.Commit();
  EXPECT_EQ(drive.Read("MSDOS.SYS", 'h'), CrLf({"[Options]", "BootGUI=0"}));
  EXPECT_EQ(platform::GetFileAttributes("h:\\msdos.sys"), own);
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

TEST_F(BootFileTest, MissingHostDriveShowsTheBoxAndChangesNothing) {
  WriteBootFile({"BootGUI=1"});
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv="}));
  Protect();
  EXPECT_FALSE(OpenBootFile(boxes));
  ExpectHostDriveMissingBox();
  EXPECT_EQ(BootFileAttributes(), kProtected);
  boxes.shown.clear();
  std::filesystem::remove(drive.Host("MSDOS.SYS"));
  EXPECT_FALSE(OpenBootFile(boxes));
  ExpectHostDriveMissingBox();
}

// A boot file is never created: a host drive without one, or with a folder in its place, and
// drive texts that name no drive, end in the open error and leave every drive as it was.
TEST_F(BootFileTest, HostDriveWithoutBootFileIsAnErrorAndNothingIsCreated) {
  drive.MapDrive('h');
  std::filesystem::create_directories(drive.MapDrive('d') / "MSDOS.SYS");
  const std::pair<const char*, const char*> cases[] = {
      {"H", "H:\\msdos.sys"},   {"D", "D:\\msdos.sys"},     {"..", "..:\\msdos.sys"},
      {"/", "/:\\msdos.sys"},   {"C:\\..\\..", "C:\\..\\..:\\msdos.sys"},
      {"/tmp/x", "/tmp/x:\\msdos.sys"}};
  for (const auto& [text, path] : cases) {
    drive.Write("MSDOS.SYS", CrLf({"[Paths]", std::string("HostWinBootDrv=") + text}));
    EXPECT_EQ(OpenError(), "Kann Datei " + std::string(path) + " nicht \xF6" "ffnen") << text;
  }
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"MSDOS.SYS"}));
  EXPECT_TRUE(drive.Entries("", 'h').empty());
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace startgarten
