#include "platform/dos_path.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/windows_error.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::platform {
namespace {

using test_support::TempDrive;

TEST(DosPath, DriveLetterOfEitherCaseMapsToItsDosDevicesEntry) {
  TempDrive drive;
  drive.Write("AUTOEXEC.BAT", "x");
  for (const char* text : {"C:\\AUTOEXEC.BAT", "c:\\autoexec.bat", "C:\\AutoExec.Bat"}) {
    const MappedPath mapped = MapDosPath(text);
    EXPECT_EQ(mapped.error, kErrorSuccess) << text;
    EXPECT_EQ(mapped.path, drive.Prefix() / "dosdevices" / "c:" / "AUTOEXEC.BAT") << text;
  }
}

TEST(DosPath, ComponentsMatchWithoutRegardToCaseButAnExactMatchWins) {
  TempDrive drive;
  drive.Write("Windows/LOGOS.SYS", "1");
  drive.Write("Windows/logos.sys", "2");
  drive.Write("Windows/M\xC3\xBCll.txt", "3");  // UTF-8 on the host
  EXPECT_EQ(ReadWholeFile("c:\\WINDOWS\\logos.sys", 10).bytes, "2");
  EXPECT_EQ(ReadWholeFile("c:\\WINDOWS\\LOGOS.SYS", 10).bytes, "1");
  EXPECT_EQ(ReadWholeFile("c:\\windows\\M\xDCLL.TXT", 10).bytes, "3");  // code page 1252
  // Of several that match, the first in byte order; also where it is the name in capitals.
  drive.Write("Windows/Logow.sys", "4");
  drive.Write("Windows/LOGOW.SYS", "5");
  drive.Write("Windows/logow.SYS", "6");
  EXPECT_EQ(ReadWholeFile("c:\\windows\\LogoW.Sys", 10).bytes, "5");
  drive.Write("Windows/Start.bat", "7");
  drive.Write("Windows/start.Bat", "8");
  EXPECT_EQ(ReadWholeFile("c:\\windows\\start.bat", 10).bytes, "7");
}

TEST(DosPath, DotsResolveInsideThePathAndNeverClimbAboveTheRoot) {
  TempDrive drive;
  drive.Write("MSDOS.SYS", "root");
  drive.Write("WINDOWS/x", "");
  const std::filesystem::path expected = drive.Prefix() / "dosdevices" / "c:" / "MSDOS.SYS";
  for (const char* text : {"C:\\WINDOWS\\..\\msdos.sys", "C:\\..\\..\\msdos.sys",
                           "C:\\.\\WINDOWS\\.\\..\\..\\msdos.sys", "C:\\\\msdos.sys"}) {
    EXPECT_EQ(MapDosPath(text).path, expected) << text;
  }
  EXPECT_EQ(MapDosPath("C:\\").path, drive.Prefix() / "dosdevices" / "c:");
  EXPECT_EQ(MapDosPath("C:\\WINDOWS\\..").path, drive.Prefix() / "dosdevices" / "c:");
}

TEST(DosPath, OnlyTheLastComponentMayBeMissing) {
  TempDrive drive;
  drive.Write("WINDOWS/x", "");
  const MappedPath newFile = MapDosPath("C:\\windows\\start.bat");
  EXPECT_EQ(newFile.error, kErrorSuccess);
  EXPECT_EQ(newFile.path, drive.Prefix() / "dosdevices" / "c:" / "WINDOWS" / "start.bat");
  EXPECT_EQ(MapDosPath("C:\\NOWHERE\\start.bat").error, kErrorPathNotFound);
  EXPECT_EQ(MapDosPath("C:\\WINDOWS\\x\\start.bat").error, kErrorPathNotFound);  // x is a file
  EXPECT_EQ(MapDosPath("D:\\msdos.sys").error, kErrorPathNotFound);              // not mapped
}

// Drive texts come from a file that anybody may have edited: whatever they say, nothing outside
// the mapped drives may be read or written.
TEST(DosPath, HostileTextsNeverReachBeyondTheDrives) {
  TempDrive drive;
  drive.Write("sub/x", "");
  std::ofstream(drive.Base() / "secret") << "outside";
  std::ofstream(drive.Prefix() / "secret") << "outside";
  const std::string hostile[] = {"",
                                 "C",
                                 "CC",
                                 "C:",
                                 "C:secret",
                                 "C:..\\..\\secret",
                                 "CC:\\secret",
                                 "1:\\secret",
                                 ":\\secret",
                                 "../secret",
                                 "/tmp/secret",
                                 "C:/../secret",
                                 "C:\\sub/../../../secret",
                                 "C:\\sub\\..\\../secret",
                                 "C:\\..\\..\\secret",
                                 "C:\\..\\..\\prefix\\secret",
                                 std::string("C:\\sub\0/../../secret", 21),
                                 "C:\\se\x01"
                                 "cret",
                                 "C:\\sub\\x:secret",
                                 "C:\\*",
                                 "C:\\sub\\?"};
  for (const std::string& text : hostile) {
    const MappedPath mapped = MapDosPath(text);
    if (mapped.error == kErrorSuccess) {
      const std::string path = mapped.path.lexically_normal().string();
      EXPECT_EQ(path.rfind((drive.Prefix() / "dosdevices" / "c:").string(), 0), 0u) << path;
    }
    EXPECT_NE(ReadWholeFile(text, 100).bytes, "outside") << text;
    EXPECT_NE(ReadProfileString(text, "a", "b", "", 100), "outside") << text;
    WriteProfileString(text, "a", "b", "c");
    CreateWholeFile(text, "written");
  }
  std::set<std::string> outside;
  for (const auto& entry : std::filesystem::directory_iterator(drive.Base())) {
    outside.insert(entry.path().filename().string());
  }
  EXPECT_EQ(outside, (std::set<std::string>{"drive_c", "prefix", "secret"}));
  EXPECT_EQ(drive.Entries("", 'c').count("secret"), 1u);  // "C:\..\..\secret" is C:\secret
  EXPECT_EQ(std::filesystem::file_size(drive.Base() / "secret"), 7u);
  EXPECT_EQ(std::filesystem::file_size(drive.Prefix() / "secret"), 7u);
}

TEST(DosPath, PrefixMustBeAbsoluteAndDefaultsToWineInHome) {
  TempDrive drive;
  ::setenv("WINEPREFIX", "relative/prefix", 1);
  EXPECT_EQ(MapDosPath("C:\\msdos.sys").error, kErrorPathNotFound);

  const char* savedHome = std::getenv("HOME");
  const std::optional<std::string> home = savedHome ? std::optional(savedHome) : std::nullopt;
  std::filesystem::create_directories(drive.Base() / ".wine" / "dosdevices");
  std::filesystem::create_directory_symlink(drive.Root(), drive.Base() / ".wine/dosdevices/c:");
  ::unsetenv("WINEPREFIX");
  ::setenv("HOME", drive.Base().c_str(), 1);
  const MappedPath mapped = MapDosPath("C:\\msdos.sys");
  home ? ::setenv("HOME", home->c_str(), 1) : ::unsetenv("HOME");
  EXPECT_EQ(mapped.error, kErrorSuccess);
  EXPECT_EQ(mapped.path, drive.Base() / ".wine" / "dosdevices" / "c:" / "msdos.sys");
}

}  // namespace
}  // namespace startgarten::platform
