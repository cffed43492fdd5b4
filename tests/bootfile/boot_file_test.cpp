#include "bootfile/boot_file.h"

#include <gtest/gtest.h>

#include "bootfile/ini_file.h"
#include "platform/dos/write_set.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using namespace test_support;

using BootFileTest = BootDriveTest;

TEST(IniFile, ReadNumberRewritesTheHexPrefixOnlyAfterTwoCharacters) {
  TempDrive drive;
  drive.Write("T.INI", CrLf({"[S]", "a=0x1E", "b=$1E", "c= 5", "d=0x", "e=0X10", "f=-0x10",
                             "g=0xFFFFFFFF", "h=", "i=2147483648", "j=x5", "k=0x000000001"}));
  const TIniFile ini("c:\\t.ini");
  const std::pair<const char*, int32_t> cases[] = {
      {"a", 30}, {"b", 30}, {"c", 5},  {"d", -9}, {"e", 16}, {"f", -9},
      {"g", -1}, {"h", -9}, {"i", -9}, {"j", -9}, {"k", -9}, {"missing", -9}};
  for (const auto& [key, value] : cases) EXPECT_EQ(ini.ReadNumber("s", key, -9), value) << key;
}

// The boot file of another host drive keeps its own attributes, whatever drive C's file has.
TEST_F(BootFileTest, HostDriveElsewhereKeepsItsOwnAttributes) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv=H"}));
  Protect();
  drive.MapDrive('h');
  drive.Write("MSDOS.SYS", CrLf({"[Options]", "BootGUI=1"}), 'h');
  const uint32_t own = platform::GetFileAttributes("h:\\msdos.sys");
  platform::WriteSet writes(WriteCommandFiles());
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  ASSERT_TRUE(bootFile);
  EXPECT_EQ(bootFile->Path(), "H:\\msdos.sys");
  bootFile->Ini().WriteNumber("Options", "BootGUI", 0);
  writes.Commit();
  EXPECT_EQ(drive.Read("MSDOS.SYS", 'h'), CrLf({"[Options]", "BootGUI=0"}));
  EXPECT_EQ(platform::GetFileAttributes("h:\\msdos.sys"), own);
  EXPECT_EQ(BootFileAttributes(), kProtected);
}

// A boot file on drive C that names no host drive, and none at all, both show the box.
TEST_F(BootFileTest, MissingHostDriveShowsTheBoxAndChangesNothing) {
  drive.Write("MSDOS.SYS", CrLf({"[Paths]", "HostWinBootDrv="}));
  Protect();
  EXPECT_FALSE(OpenBootFile(boxes));
  EXPECT_EQ(BootFileAttributes(), kProtected);
  std::filesystem::remove(drive.Host("MSDOS.SYS"));
  EXPECT_FALSE(OpenBootFile(boxes));
  EXPECT_EQ(boxes.Described(),
            std::vector<std::string>(2, "Fehler|HOST-Laufwerk nicht gefunden|0|0"));
}

}  // namespace
}  // namespace startgarten
