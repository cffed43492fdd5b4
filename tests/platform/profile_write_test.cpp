#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <string>

#include "platform/file_attributes.h"
#include "platform/profile.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::platform {
namespace {

using test_support::TempDrive;

class ProfileWrite : public ::testing::Test {
 protected:
  // The file's bytes after writing the key into a file that held text.
  std::string Written(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
    drive_.Write("MSDOS.SYS", text);
    EXPECT_TRUE(WriteProfileString("c:\\msdos.sys", section, key, value));
    EXPECT_EQ(drive_.Entries(), std::set<std::string>{"MSDOS.SYS"});
    return drive_.Read("MSDOS.SYS").value_or("<missing>");
  }

  TempDrive drive_;
};

TEST_F(ProfileWrite, ExistingKeyChangesOnlyItsValue) {
  const std::string tail = "\r\nX=1\r\n[Other]\r\nBootGUI=0";
  EXPECT_EQ(Written("[Options]\r\nBootGUI = 0 ; note" + tail, "OPTIONS", "bootgui", "1"),
            "[Options]\r\nBootGUI = 1" + tail);
  EXPECT_EQ(Written("[A]\nk=\t 0\n", "A", "K", "1"), "[A]\nk=\t 1\n");
  EXPECT_EQ(Written("[A]\rk=0", "A", "k", ""), "[A]\rk=");
  EXPECT_EQ(Written("[A]\n\tk \n", "A", "k", "1"), "[A]\n\tk=1\n");  // a line without "="
  EXPECT_EQ(Written("[A]\nk=1\n[a]\nk=2\n", "A", "k", "3"), "[A]\nk=3\n[a]\nk=2\n");
}

TEST_F(ProfileWrite, MissingKeyFollowsTheLastNonBlankLineOfItsSection) {
  EXPECT_EQ(Written("[A]\r\na=1\r\n\r\n \t\r\n[B]\r\nb=2\r\n", "a", "k", "v"),
            "[A]\r\na=1\r\nk=v\r\n\r\n \t\r\n[B]\r\nb=2\r\n");
  EXPECT_EQ(Written("[A]\na=1", "A", "k", "v"), "[A]\na=1\nk=v");
  EXPECT_EQ(Written("[A]", "A", "k", "v"), "[A]\r\nk=v");
  EXPECT_EQ(Written("[A]\nk=1\n[A]\nj=2\n", "A", "j", "3"), "[A]\nk=1\nj=3\n[A]\nj=2\n");
  EXPECT_EQ(Written("[A]\r\nv=[x]\r\n\r\n[B]\r\n", "A", "k", "v"),
            "[A]\r\nv=[x]\r\nk=v\r\n\r\n[B]\r\n");
  const std::string padded = "[Options]\r\nBootGUI=1\r\n;xxxxxxxx\r\n;xxxxxxxx\r\n";
  EXPECT_EQ(Written(padded, "Options", ";PROMPT", "1"), padded + ";PROMPT=1\r\n");
}

TEST_F(ProfileWrite, MissingSectionIsAppendedWithTheFilesLineEnd) {
  EXPECT_EQ(Written("[A]\r\na=1\r\n", "B", "k", "v"), "[A]\r\na=1\r\n[B]\r\nk=v\r\n");
  EXPECT_EQ(Written("[A]\na=1", "B", "k", "v"), "[A]\na=1\n[B]\nk=v\n");
  EXPECT_EQ(Written("[A]\ra=1\n", "B", "k", "v"), "[A]\ra=1\n[B]\rk=v\r");
  EXPECT_EQ(Written("", " B ", " k ", "v"), "[B]\r\nk=v\r\n");
}

TEST_F(ProfileWrite, MissingFileIsCreatedWithCrLf) {
  EXPECT_TRUE(WriteProfileString("c:\\new.ini", "Paths", "WinDir", "C:\\WINDOWS"));
  EXPECT_EQ(drive_.Read("new.ini"), "[Paths]\r\nWinDir=C:\\WINDOWS\r\n");
  EXPECT_TRUE(WriteProfileString("C:\\NEW.INI", "paths", "windir", "D:\\WIN"));
  EXPECT_EQ(drive_.Read("new.ini"), "[Paths]\r\nWinDir=D:\\WIN\r\n");
  EXPECT_EQ(drive_.Entries(), std::set<std::string>{"new.ini"});
}

// Such a name or value would change other keys or sections: nothing is written.
TEST_F(ProfileWrite, NamesAndValuesThatBreakTheStructureAreRefused) {
  const std::string text = "[A]\r\nk=1\r\n";
  drive_.Write("MSDOS.SYS", text);
  const std::string nul(1, '\0');
  const std::string refused[][3] = {{"A", "", "v"},       {"A", " \t", "v"}, {"A", "a=b", "v"},
                                    {"A", "[B]", "v"},    {"A", " [x", "v"}, {"A", "k", "1\r\n[B]"},
                                    {"A", "k", "1\nj=2"}, {"A", "k", "1\r"}, {"A", "k", "1" + nul},
                                    {"A\r\n", "k", "v"},  {"A", "k\n", "v"}, {"A" + nul, "k", "v"}};
  for (const auto& [section, key, value] : refused) {
    EXPECT_FALSE(WriteProfileString("c:\\msdos.sys", section, key, value)) << key << value;
  }
  EXPECT_EQ(drive_.Read("MSDOS.SYS"), text);
}

TEST_F(ProfileWrite, FailsWithoutDirectoryDriveOrWritePermission) {
  EXPECT_FALSE(WriteProfileString("c:\\none\\msdos.sys", "A", "k", "v"));
  EXPECT_FALSE(WriteProfileString("h:\\msdos.sys", "A", "k", "v"));
  EXPECT_EQ(drive_.Entries(), std::set<std::string>{});

  drive_.Write("MSDOS.SYS", "[A]\r\nk=1\r\n");
  std::filesystem::permissions(drive_.Host("MSDOS.SYS"), std::filesystem::perms(0444));
  EXPECT_FALSE(WriteProfileString("c:\\msdos.sys", "A", "k", "2"));  // also as root
  EXPECT_EQ(drive_.Read("MSDOS.SYS"), "[A]\r\nk=1\r\n");
  std::filesystem::create_directory(drive_.Host("DIR.INI"));
  EXPECT_FALSE(WriteProfileString("c:\\dir.ini", "A", "k", "2"));
}

TEST_F(ProfileWrite, ReplacementKeepsPermissionsAndDosAttributes) {
  drive_.Write("MSDOS.SYS", "[A]\r\nk=1\r\n");
  const std::filesystem::path host = drive_.Host("MSDOS.SYS");
  std::filesystem::permissions(host, std::filesystem::perms(0640));
  ASSERT_EQ(::setxattr(host.c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);
  ASSERT_TRUE(WriteProfileString("c:\\msdos.sys", "A", "k", "2"));
  EXPECT_EQ(drive_.Read("MSDOS.SYS"), "[A]\r\nk=2\r\n");
  EXPECT_EQ(std::filesystem::status(host).permissions(), std::filesystem::perms(0640));
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"),
            kAttributeArchive | kAttributeHidden | kAttributeSystem);
}

TEST_F(ProfileWrite, StaleTemporaryFileIsReplacedAndNeverWrittenThrough) {
  drive_.Write("MSDOS.SYS", "[A]\r\nk=1\r\n");
  std::ofstream(drive_.Base() / "outside") << "keep";
  std::filesystem::create_symlink(drive_.Base() / "outside",
                                  drive_.Host("MSDOS.SYS.startgarten-new"));
  ASSERT_TRUE(WriteProfileString("c:\\msdos.sys", "A", "k", "2"));
  EXPECT_EQ(drive_.Read("MSDOS.SYS"), "[A]\r\nk=2\r\n");
  EXPECT_EQ(drive_.Entries(), std::set<std::string>{"MSDOS.SYS"});
  EXPECT_EQ(std::filesystem::file_size(drive_.Base() / "outside"), 4u);
}

}  // namespace
}  // namespace startgarten::platform
