#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/dos_path.h"
#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/host_file.h"
#include "platform/profile.h"
#include "platform/windows_error.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

namespace fs = std::filesystem;
using fs::perms;
using test_support::TempDrive;

TEST(DosPath, MatchesWithoutCaseResolvesDotsAndNeedsEveryDirectory) {
  TempDrive drive;
  drive.Write("WINDOWS/LOGOS.SYS", "");
  drive.Write("WINDOWS/logos.sys", "");
  drive.Write("WINDOWS/M\xC3\xBCll.txt", "");  // UTF-8 on the host
  drive.Write("WINDOWS/start.Bat", "");
  drive.Write("WINDOWS/Start.bat", "");
  const fs::path c = drive.Prefix() / "dosdevices" / "c:";
  const std::pair<const char*, fs::path> mapped[] = {
      {"c:\\windows\\logos.sys", c / "WINDOWS" / "logos.sys"},  // an exact match wins
      {"C:\\Windows\\Logos.Sys", c / "WINDOWS" / "LOGOS.SYS"},  // else the first in byte order
      {"C:\\WINDOWS\\START.bat", c / "WINDOWS" / "Start.bat"},  // also without one in capitals
      {"c:\\WINDOWS\\M\xDCLL.TXT", c / "WINDOWS" / "M\xC3\xBCll.txt"},  // code page 1252
      {"C:\\windows\\new.bat", c / "WINDOWS" / "new.bat"},  // the last one may be missing
      {"C:\\WINDOWS\\..\\..\\.\\x", c / "x"},
      {"c:\\\\WINDOWS\\\\..", c}};
  for (const auto& [text, path] : mapped) {
    EXPECT_EQ(MapDosPath(text).path, path) << text;
  }
  for (const char* text : {"C:\\NOWHERE\\new.bat", "C:\\WINDOWS\\logos.sys\\x", "D:\\msdos.sys"}) {
    EXPECT_EQ(MapDosPath(text).error, kErrorPathNotFound) << text;
  }
}

// Drive texts come from files that anybody may have edited: whatever they say, nothing outside
// the mapped drives is read or written.
TEST(DosPath, HostileTextsNeverLeaveTheDrives) {
  TempDrive drive;
  drive.Write("sub/x", "");
  std::ofstream(drive.Base() / "secret") << "outside";
  for (const std::string& text : std::initializer_list<std::string>{
           "", "CC", "C:", "C:..", "C:..\\..\\secret", "1:\\secret", "../etc", "/tmp/x",
           "C:/../secret", "C:\\sub/../../../secret", "C:\\..\\..\\etc\\passwd", "C:\\..\\secret",
           "C:\\..\\..\\secret", "C:\\sub\\x:secret", std::string("C:\\sub\0/../../secret", 21)}) {
    const MappedPath mapped = MapDosPath(text);
    if (!mapped.error) {
      const std::string path = mapped.path.lexically_normal().string();
      EXPECT_EQ(path.rfind((drive.Prefix() / "dosdevices" / "c:").string(), 0), 0u) << path;
    }
    EXPECT_NE(ReadWholeFile(text, 100).bytes, "outside") << text;
    WriteProfileString(text, "a", "b", "c");
    CreateWholeFile(text, "written");
  }
  EXPECT_EQ(fs::file_size(drive.Base() / "secret"), 7u);
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"secret", "sub"}));  // C:\secret
}

TEST(DosPath, PrefixMustBeAbsoluteAndDefaultsToWineInHome) {
  TempDrive drive;
  ::setenv("WINEPREFIX", fs::relative(drive.Prefix()).c_str(), 1);
  EXPECT_EQ(MapDosPath("C:\\").error, kErrorPathNotFound);

  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  fs::create_directories(drive.Base() / ".wine" / "dosdevices");
  fs::create_directory_symlink(drive.Root(), drive.Base() / ".wine" / "dosdevices" / "c:");
  ::unsetenv("WINEPREFIX");
  ::setenv("HOME", drive.Base().c_str(), 1);
  const MappedPath mapped = MapDosPath("C:\\msdos.sys");
  ::setenv("HOME", home.c_str(), 1);
  EXPECT_EQ(mapped.path, drive.Base() / ".wine" / "dosdevices" / "c:" / "msdos.sys");
}

TEST(FileAttributes, ReadOnlyIsTheWriteBitsAndHiddenAndSystemLiveInDosAttrib) {
  TempDrive drive;
  drive.Write("MSDOS.SYS", "");
  const fs::path host = drive.Host("MSDOS.SYS");
  const auto dosAttrib = [&] {
    char buffer[64];
    const ssize_t size = ::getxattr(host.c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
    return size > 0 ? std::string(buffer, size) : std::string();
  };
  fs::permissions(host, perms(0464));  // one write bit is enough
  EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), kAttributeArchive);
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", 0x27), kErrorSuccess);
  EXPECT_EQ(fs::status(host).permissions(), perms(0444));
  EXPECT_EQ(dosAttrib(), "0x6");
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), 0x27u);
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", 0x27 & 0xFFF8), kErrorSuccess);  // the guard's mask
  EXPECT_EQ(fs::status(host).permissions(), perms(0644));  // the owner may write again
  EXPECT_EQ(dosAttrib(), "");
  fs::permissions(host, perms(0660));
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", 0xFFFF0190 | kAttributeHidden), kErrorSuccess);
  EXPECT_EQ(fs::status(host).permissions(), perms(0660));  // write bits that are there stay
  EXPECT_EQ(dosAttrib(), "0x2");

  // As Wine and Samba write it; other forms are no attributes.
  const std::pair<std::string, uint32_t> written[] = {
      {"0x4", kAttributeSystem}, {std::string("0x26", 5), 0x06}, {"0x2z", 0}};
  for (const auto& [value, bits] : written) {
    ASSERT_EQ(::setxattr(host.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
    EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive | bits) << value;
  }
}

TEST(FileAttributes, DirectoriesMissingFilesAndFailedChanges) {
  TempDrive drive;
  fs::create_directory(drive.Host("WINDOWS"));
  EXPECT_EQ(GetFileAttributes("c:\\"), kAttributeDirectory);
  EXPECT_EQ(SetFileAttributes("c:\\windows", kAttributeReadOnly | kAttributeHidden), 0u);
  EXPECT_EQ(GetFileAttributes("c:\\windows"), kAttributeDirectory | kAttributeHidden);
  EXPECT_EQ(GetFileAttributes("c:\\io.sys"), kInvalidFileAttributes);
  EXPECT_EQ(SetFileAttributes("c:\\io.sys", 0), kErrorFileNotFound);
  EXPECT_EQ(SetFileAttributes("c:\\none\\io.sys", 0), kErrorPathNotFound);
  drive.Write("MSDOS.SYS", "");
  file_system::SetFaultPlan({2, EACCES});  // after opening the file
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", kAttributeHidden), kErrorAccessDenied);
  file_system::SetFaultPlan({});
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive);
}

TEST(ReadWholeFile, ReadsEveryByteUpToTheLimitOrTellsWhyNot) {
  TempDrive drive;
  const std::string bytes("a\r\nb\0\xFF\x1A", 7);
  drive.Write("AUTOEXEC.BAT", bytes);
  EXPECT_EQ(ReadWholeFile("c:\\autoexec.bat", 7).bytes, bytes);
  const ReadFileResult tooLarge = ReadWholeFile("c:\\autoexec.bat", 6);
  EXPECT_TRUE(tooLarge.tooLarge && tooLarge.bytes.empty() && !tooLarge.error);
  fs::create_directory(drive.Host("WINDOWS"));
  EXPECT_EQ(ReadWholeFile("c:\\windows", 10).error, kErrorAccessDenied);
  EXPECT_EQ(ReadWholeFile("c:\\config.sys", 10).error, kErrorFileNotFound);
  EXPECT_EQ(ReadWholeFile("c:\\none\\config.sys", 10).error, kErrorPathNotFound);
}

// A file whose size the kernel reports as 0, such as one under /proc, is read to its end all the
// same, and the limit holds for it too.
TEST(ReadHostFile, ReadsPastTheReportedSizeUpToTheLimit) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(ReadHostFile("/proc/self/cmdline", bytes.size()).bytes, bytes);
  EXPECT_TRUE(ReadHostFile("/proc/self/cmdline", bytes.size() - 1).tooLarge);
}

TEST(MoveFile, RenamesButNeverReplaces) {
  TempDrive drive;
  drive.Write("WINDOWS/logos.sys", "logo");
  drive.Write("WINDOWS/LOGOW.BMP", "other");
  EXPECT_EQ(MoveFile("c:\\windows\\logos.sys", "c:\\windows\\logos.bmp"), kErrorSuccess);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.sys", "c:\\windows\\x"), kErrorFileNotFound);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:\\windows\\logow.bmp"), kErrorAlreadyExists);
  file_system::SetFaultPlan({1, EACCES});
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:\\windows\\logos.sys"), kErrorAccessDenied);
  file_system::SetFaultPlan({});
  EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"LOGOW.BMP", "logos.bmp"}));
}

TEST(GetWindowsDirectory, ComesFromMsdosSysUnlessMissingOrEmpty) {
  TempDrive drive;
  EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
  drive.Write("MSDOS.SYS", "[Paths]\r\nWinDir=\r\n");
  EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
  drive.Write("MSDOS.SYS", "[paths]\r\nwindir = D:\\WIN95\r\n");
  EXPECT_EQ(GetWindowsDirectory(), "D:\\WIN95");
}

TEST(WindowsError, EveryCodeOfTheLayerHasItsOwnGermanText) {
  const int errors[] = {ENOENT, ENOTDIR, EMFILE, EACCES,       ENOMEM, EXDEV, EROFS,
                        EBUSY,  ENOSPC,  EEXIST, ENAMETOOLONG, EIO,    EPROTO};
  std::set<std::string> texts;
  for (const int error : errors) {
    const std::string text = SystemErrorText(WindowsErrorFromErrno(error));
    EXPECT_FALSE(text.empty() || text.back() == '.' || text.starts_with("Unbekannt")) << text;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(errors));
  EXPECT_EQ(SystemErrorText(4711), "Unbekannter Systemfehler 4711");
}

}  // namespace
}  // namespace startgarten::platform
