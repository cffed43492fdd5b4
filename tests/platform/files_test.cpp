#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cerrno>
#include <string>

#include "platform/dos/dos_path.h"
#include "platform/drives/folder/host_io.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/windows/windows_error.h"
#include "support/disk_images.h"
#include "support/error_of.h"
#include "support/file_system_faults.h"
#include "support/samba_dos_attrib.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace test_support;

using fs::perms;

// The drive's spelling of a DOS path, or its error as "#code".
std::string Located(std::string_view dosPath) {
  const DosFile file = LocateFile(dosPath);
  if (file.error) return "#" + std::to_string(file.error);
  return file.path + (file.drive->Status(file.path).exists ? "" : " (new)");
}

TEST(DosPath, MatchesWithoutCaseResolvesDotsAndNeedsEveryDirectory) {
  TempDrive drive;
  drive.Write("WINDOWS/LOGOS.SYS", "");
  drive.Write("WINDOWS/logos.sys", "");
  drive.Write("WINDOWS/M\xC3\xBCll.txt", "");  // UTF-8 on the host
  drive.Write("WINDOWS/start.Bat", "");
  drive.Write("WINDOWS/Start.bat", "");
  const std::pair<const char*, const char*> located[] = {
      {"c:\\windows\\logos.sys", "WINDOWS/logos.sys"},          // an exact match wins
      {"C:\\Windows\\Logos.Sys", "WINDOWS/LOGOS.SYS"},          // else the first in byte order
      {"C:\\WINDOWS\\START.bat", "WINDOWS/Start.bat"},          // also without one in capitals
      {"c:\\WINDOWS\\M\xDCLL.TXT", "WINDOWS/M\xC3\xBCll.txt"},  // code page 1252
      {"C:\\windows\\new.bat", "WINDOWS/new.bat (new)"},        // the last one may be missing
      {"C:\\WINDOWS\\..\\..\\.\\x", "x (new)"},
      {"c:\\\\WINDOWS\\\\..", ""},
      {"C:\\NOWHERE\\new.bat", "#3"},
      {"C:\\WINDOWS\\logos.sys\\x", "#3"},
      {"D:\\msdos.sys", "#3"}};
  for (const auto& [text, path] : located) EXPECT_EQ(Located(text), path) << text;
}

// Drive texts come from files that anybody may have edited, and links on a drive may point
// anywhere: whatever they say, nothing off the drives is read or written. A link that stays on
// its drive works; one that leads off it is not found, and ".." never climbs above the root.
TEST(DosPath, NothingOffTheDrivesIsEverReachedTextsOrLinks) {
  TempDrive drive;
  drive.Write("sub/x", "inside");
  WriteHostBytes(drive.Base() / "secret", "outside");
  fs::create_directory(drive.Base() / "folder");
  WriteHostBytes(drive.Base() / "folder" / "start.bat", "outside");
  fs::create_symlink(drive.Base() / "secret", drive.Host("OUT.SYS"));
  fs::create_directory_symlink(drive.Base() / "folder", drive.Host("OUTDIR"));
  fs::create_directory_symlink("../..", drive.Host("sub/UP"));
  fs::create_symlink("/proc/self/root/" + (drive.Base() / "secret").string(), drive.Host("MAGIC"));
  fs::create_symlink("sub/x", drive.Host("IN.SYS"));
  fs::create_directory_symlink("sub", drive.Host("INDIR"));
  EXPECT_EQ(ReadWholeFile("c:\\in.sys", 100).bytes, "inside");
  EXPECT_EQ(ReadWholeFile("c:\\indir\\x", 100).bytes, "inside");
  EXPECT_EQ(Located("C:\\IN.SYS"), "sub/x");  // written where the link points
  CreateWholeFile("C:\\..\\secret", "written", {"", ""});
  EXPECT_EQ(drive.Read("secret"), "written");

  for (const std::string& text : std::initializer_list<std::string>{
           "", "CC", "C:", "C:..", "C:..\\..\\secret", "1:\\secret", "../etc", "/tmp/x",
           "C:/../secret", "C:\\sub/../../../secret", "C:\\..\\..\\etc\\passwd",
           "C:\\sub\\x:secret", std::string("C:\\sub\0/../../secret", 20), "C:\\out.sys",
           "C:\\outdir\\start.bat", "C:\\sub\\up\\secret", "C:\\magic", "C:\\sub\\up\\x"}) {
    EXPECT_NE(ReadWholeFile(text, 100).error, kErrorSuccess) << text;
    EXPECT_EQ(GetFileAttributes(text), kInvalidFileAttributes) << text;
    EXPECT_EQ(ErrorOf([&] { WriteProfileString(text, "a", "b", "c", "refused"); }), "refused");
    EXPECT_EQ(ErrorOf([&] {
                CreateWholeFile(text, "written", {"refused", "refused"});
              }),
              "refused");
  }
  EXPECT_EQ(fs::file_size(drive.Base() / "secret"), 7u);
  EXPECT_EQ(fs::file_size(drive.Base() / "folder" / "start.bat"), 7u);
  EXPECT_EQ(fs::symlink_status(drive.Host("OUT.SYS")).type(), fs::file_type::symlink);
}

// Read-only is the absence of every write bit; hidden and system live in user.DOSATTRIB as Wine
// and Samba write it: text, text with a final NUL, or Samba's binary structure.
TEST(FileAttributes, ReadOnlyIsTheWriteBitsAndHiddenAndSystemLiveInDosAttrib) {
  TempDrive drive;
  drive.Write("MSDOS.SYS", "");
  fs::create_directory(drive.Host("WINDOWS"));
  EXPECT_EQ(GetFileAttributes("c:\\"), kAttributeDirectory);
  EXPECT_EQ(GetFileAttributes("c:\\windows"), kAttributeDirectory);
  EXPECT_EQ(GetFileAttributes("c:\\io.sys"), kInvalidFileAttributes);
  const fs::path host = drive.Host("MSDOS.SYS");
  fs::permissions(host, perms(0464));  // one write bit is enough
  EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), kAttributeArchive);
  fs::permissions(host, perms(0444));
  EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), kAttributeArchive | kAttributeReadOnly);
  fs::permissions(host, perms(0644));
  const std::pair<std::string, uint32_t> written[] = {{"0x4", kAttributeSystem},
                                                      {std::string("0x26\0", 5), 0x06},
                                                      {"0x2z", 0},
                                                      {SambaDosAttrib(3, 0x27), 0x06},
                                                      {SambaDosAttrib(4, 0x22), 0x02},
                                                      {SambaDosAttrib(5, 0x24), 0x04},
                                                      {SambaDosAttrib(9, 0x26), 0}};
  for (const auto& [value, bits] : written) {
    ASSERT_EQ(::setxattr(host.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
    EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive | bits) << value;
  }
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

  // A file whose size the kernel reports as 0, such as one under /proc, is read to its end all
  // the same, and the limit holds for it too.
  const std::string cmdline = ReadHostBytes("/proc/self/cmdline");
  ASSERT_FALSE(cmdline.empty());
  const auto proc = [] { return Descriptor(::open("/proc/self/cmdline", O_RDONLY)); };
  EXPECT_EQ(ReadOpenFile(proc(), cmdline.size()).bytes, cmdline);
  EXPECT_TRUE(ReadOpenFile(proc(), cmdline.size() - 1).tooLarge);
}

TEST(MoveFile, RenamesButNeverReplaces) {
  TempDrive drive;
  drive.Write("WINDOWS/logos.sys", "logo");
  drive.Write("WINDOWS/LOGOW.BMP", "other");
  drive.MapDrive('d');
  EXPECT_EQ(MoveFile("c:\\windows\\logos.sys", "c:\\windows\\logos.bmp"), kErrorSuccess);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.sys", "c:\\windows\\x"), kErrorFileNotFound);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "c:\\windows\\logow.bmp"), kErrorAlreadyExists);
  EXPECT_EQ(MoveFile("c:\\windows\\logos.bmp", "d:\\logos.bmp"), kErrorNotSameDevice);
  // A failure at any step moves nothing, or one that passes (closing a descriptor) moves it.
  for (unsigned long step = 1;; ++step) {
    if (!drive.Read("WINDOWS/logos.bmp"))
      fs::rename(drive.Host("WINDOWS/logos.sys"), drive.Host("WINDOWS/logos.bmp"));
    SetFaultPlan({step, EACCES});
    const uint32_t error = MoveFile("c:\\windows\\logos.bmp", "c:\\windows\\logos.sys");
    const bool reached = OperationsPerformed() >= step;
    SetFaultPlan({});
    if (!reached) break;
    EXPECT_EQ(drive.Entries("WINDOWS"),
              (std::set<std::string>{"LOGOW.BMP", error ? "logos.bmp" : "logos.sys"}));
  }
}

TEST(GetWindowsDirectory, ComesFromMsdosSysUnlessMissingOrEmpty) {
  TempDrive drive;
  for (const auto& [bootFile, directory] : {std::pair{"", "C:\\WINDOWS"},
                                            {"[Paths]\r\nWinDir=\r\n", "C:\\WINDOWS"},
                                            {"[paths]\r\nwindir = D:\\WIN95\r\n", "D:\\WIN95"}}) {
    drive.Write("MSDOS.SYS", bootFile);
    EXPECT_EQ(GetWindowsDirectory(), directory) << bootFile;
  }
}

// Each errno that a file operation gives has a code whose German text is its own (shown followed
// by a period, so it has none); a code without a text of its own is named by its number.
TEST(WindowsError, EveryCodeOfTheLayerHasATextOfItsOwn) {
  const int errors[] = {ENOENT, ENOTDIR, EMFILE, EACCES,       ENOMEM, EXDEV, EROFS,
                        EBUSY,  ENOSPC,  EEXIST, ENAMETOOLONG, EIO,    EPROTO};
  std::set<std::string> texts;
  for (const int error : errors) {
    const std::string text = SystemErrorText(WindowsErrorFromErrno(error));
    EXPECT_FALSE(text.empty() || text.back() == '.' || text.find("4711") != std::string::npos)
        << text;
    texts.insert(text);
  }
  texts.insert(SystemErrorText(4711));
  EXPECT_EQ(texts.size(), std::size(errors) + 1);
  for (const std::string& text : {SystemErrorText(4711), InOutErrorMessage(4711)})
    EXPECT_NE(text.find("4711"), std::string::npos) << text;
}

}  // namespace
}  // namespace startgarten::platform
