#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/host_file.h"
#include "platform/windows_error.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::platform {
namespace {

using std::filesystem::perms;
using test_support::TempDrive;

TEST(ReadWholeFile, ReturnsEveryByteUpToTheLimit) {
  TempDrive drive;
  const std::string bytes("a\r\nb\0\xFF\x1A", 7);
  drive.Write("AUTOEXEC.BAT", bytes);
  EXPECT_EQ(ReadWholeFile("c:\\autoexec.bat", 7).bytes, bytes);
  const ReadFileResult tooLarge = ReadWholeFile("c:\\autoexec.bat", 6);
  EXPECT_EQ(tooLarge.error, kErrorSuccess);
  EXPECT_TRUE(tooLarge.tooLarge);
  EXPECT_EQ(tooLarge.bytes, "");
  drive.Write("EMPTY", "");
  EXPECT_EQ(ReadWholeFile("c:\\empty", 0).tooLarge, false);
}

// A file whose size the kernel reports as 0, such as one under /proc, is read to its end all the
// same, and the limit holds for it too.
TEST(ReadHostFile, ReadsPastTheReportedSizeUpToTheLimit) {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(ReadHostFile("/proc/self/cmdline", bytes.size()).bytes, bytes);
  const ReadFileResult tooLarge = ReadHostFile("/proc/self/cmdline", bytes.size() - 1);
  EXPECT_TRUE(tooLarge.tooLarge);
  EXPECT_EQ(tooLarge.bytes, "");
}

TEST(ReadWholeFile, ReportsWhyTheFileCannotBeRead) {
  TempDrive drive;
  std::filesystem::create_directory(drive.Host("WINDOWS"));
  EXPECT_EQ(ReadWholeFile("c:\\autoexec.bat", 10).error, kErrorFileNotFound);
  EXPECT_EQ(ReadWholeFile("c:\\none\\autoexec.bat", 10).error, kErrorPathNotFound);
  EXPECT_EQ(ReadWholeFile("c:\\windows", 10).error, kErrorAccessDenied);
  EXPECT_EQ(ReadWholeFile("c:autoexec.bat", 10).error, kErrorPathNotFound);
}

TEST(CreateWholeFile, CreatesOrReplacesWithExactlyTheBytes) {
  TempDrive drive;
  EXPECT_EQ(CreateWholeFile("c:\\start.bat", "@echo off\r\nwin\r\n").failure, WriteFailure::kNone);
  EXPECT_EQ(drive.Read("start.bat"), "@echo off\r\nwin\r\n");
  EXPECT_EQ(CreateWholeFile("C:\\START.BAT", "x").failure, WriteFailure::kNone);
  EXPECT_EQ(drive.Read("start.bat"), "x");
  EXPECT_EQ(CreateWholeFile("C:\\START.BAT", "").failure, WriteFailure::kNone);
  EXPECT_EQ(drive.Read("start.bat"), "");
  EXPECT_EQ(drive.Entries(), std::set<std::string>{"start.bat"});
}

TEST(CreateWholeFile, KeepsPermissionBitsButGivesNormalDosAttributes) {
  TempDrive drive;
  drive.Write("AUTOEXEC.BAT", "old");
  const std::filesystem::path host = drive.Host("AUTOEXEC.BAT");
  std::filesystem::permissions(host, perms(0600));
  ASSERT_EQ(::setxattr(host.c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);
  EXPECT_EQ(CreateWholeFile("c:\\autoexec.bat", "new").failure, WriteFailure::kNone);
  EXPECT_EQ(std::filesystem::status(host).permissions(), perms(0600));
  EXPECT_EQ(GetFileAttributes("c:\\autoexec.bat"), kAttributeArchive);
}

TEST(CreateWholeFile, CannotCreateWhereWindowsCouldNot) {
  TempDrive drive;
  drive.Write("AUTOEXEC.BAT", "old");
  std::filesystem::permissions(drive.Host("AUTOEXEC.BAT"), perms(0444));
  std::filesystem::create_directory(drive.Host("WINDOWS"));
  const std::pair<const char*, uint32_t> cases[] = {{"c:\\autoexec.bat", kErrorAccessDenied},
                                                    {"c:\\windows", kErrorAccessDenied},
                                                    {"c:\\none\\start.bat", kErrorPathNotFound},
                                                    {"x:\\start.bat", kErrorPathNotFound}};
  for (const auto& [path, error] : cases) {
    const WriteFileResult result = CreateWholeFile(path, "new");
    EXPECT_EQ(result.failure, WriteFailure::kCreate) << path;
    EXPECT_EQ(result.error, error) << path;
  }
  EXPECT_EQ(drive.Read("AUTOEXEC.BAT"), "old");
  EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "WINDOWS"}));
}

TEST(MoveFile, RenamesButNeverReplaces) {
  TempDrive drive;
  drive.Write("WINDOWS/logos.sys", "logo");
  drive.Write("WINDOWS/LOGOW.BMP", "other");
  EXPECT_EQ(MoveFile("c:\\windows\\logos.sys", "c:\\windows\\logos.bmp"), kErrorSuccess);
  EXPECT_EQ(drive.Read("WINDOWS/logos.bmp"), "logo");
  EXPECT_EQ(MoveFile("c:\\windows\\logos.sys", "c:\\windows\\x"), kErrorFileNotFound);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:\\windows\\logow.bmp"), kErrorAlreadyExists);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:\\none\\logos.bmp"), kErrorPathNotFound);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:logos.sys"), kErrorPathNotFound);
  EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"LOGOW.BMP", "logos.bmp"}));
  EXPECT_EQ(drive.Read("WINDOWS/LOGOW.BMP"), "other");

  file_system::SetFaultPlan({1, EACCES});
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:\\windows\\logos.sys"), kErrorAccessDenied);
  file_system::SetFaultPlan({});
}

TEST(GetWindowsDirectory, ComesFromMsdosSysOrDefaults) {
  TempDrive drive;
  EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
  drive.Write("MSDOS.SYS", "[Paths]\r\nWinDir=\r\n");
  EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
  drive.Write("MSDOS.SYS", "[paths]\r\nwindir = D:\\WIN95\r\n");
  EXPECT_EQ(GetWindowsDirectory(), "D:\\WIN95");
  drive.Write("MSDOS.SYS", "[Paths]\r\nWinDir=C:\\" + std::string(200, 'w') + "\r\n");
  EXPECT_EQ(GetWindowsDirectory(), "C:\\" + std::string(140, 'w'));
}

TEST(WindowsError, EveryCodeOfTheLayerHasItsOwnGermanText) {
  const int errors[] = {ENOENT, ENOTDIR, EMFILE, EACCES,       ENOMEM, EXDEV, EROFS,
                        EBUSY,  ENOSPC,  EEXIST, ENAMETOOLONG, EIO,    EPROTO};
  std::set<std::string> texts;
  for (int error : errors) {
    const std::string text = SystemErrorText(WindowsErrorFromErrno(error));
    EXPECT_FALSE(text.empty() || text.back() == '.' || text.back() == ' ') << text;
    EXPECT_EQ(text.find("Unbekannt"), std::string::npos) << error;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(errors));
  EXPECT_EQ(WindowsErrorFromErrno(ENOENT), kErrorFileNotFound);
  EXPECT_EQ(WindowsErrorFromErrno(EACCES), kErrorAccessDenied);
  EXPECT_EQ(WindowsErrorFromErrno(ENOSPC), kErrorDiskFull);
  EXPECT_EQ(WindowsErrorFromErrno(EEXIST), kErrorAlreadyExists);
  EXPECT_EQ(SystemErrorText(kErrorSharingViolation).find("Unbekannt"), std::string::npos);
  EXPECT_EQ(SystemErrorText(4711), "Unbekannter Systemfehler 4711");
}

}  // namespace
}  // namespace startgarten::platform
