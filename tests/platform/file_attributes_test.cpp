#include "platform/file_attributes.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <string>

#include "platform/windows_error.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::platform {
namespace {

using std::filesystem::perms;
using test_support::TempDrive;

class FileAttributes : public ::testing::Test {
 protected:
  FileAttributes() { drive_.Write("MSDOS.SYS", "[Paths]\r\n"); }

  perms Permissions() const { return std::filesystem::status(host_).permissions(); }

  // The raw user.DOSATTRIB value; empty when there is none.
  std::string DosAttrib() const {
    char buffer[64];
    const ssize_t size = ::getxattr(host_.c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
    return size > 0 ? std::string(buffer, size) : std::string();
  }

  TempDrive drive_;
  std::filesystem::path host_ = drive_.Host("MSDOS.SYS");
};

TEST_F(FileAttributes, MissingFileGivesAllBitsSet) {
  EXPECT_EQ(GetFileAttributes("c:\\io.sys"), kInvalidFileAttributes);
  EXPECT_EQ(GetFileAttributes("c:\\none\\msdos.sys"), kInvalidFileAttributes);
  EXPECT_EQ(GetFileAttributes("CC:\\msdos.sys"), kInvalidFileAttributes);
  EXPECT_EQ(SetFileAttributes("c:\\io.sys", 0), kErrorFileNotFound);
  EXPECT_EQ(SetFileAttributes("c:\\none\\msdos.sys", 0), kErrorPathNotFound);
}

TEST_F(FileAttributes, FilesAreArchiveAndDirectoriesDirectory) {
  EXPECT_EQ(GetFileAttributes("C:\\MSDOS.SYS"), kAttributeArchive);
  std::filesystem::create_directory(drive_.Host("WINDOWS"));
  EXPECT_EQ(GetFileAttributes("c:\\windows"), kAttributeDirectory);
  EXPECT_EQ(GetFileAttributes("c:\\"), kAttributeDirectory);
}

TEST_F(FileAttributes, ReadOnlyIsTheAbsenceOfEveryWriteBit) {
  std::filesystem::permissions(host_, perms(0444));
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive | kAttributeReadOnly);
  std::filesystem::permissions(host_, perms(0464));
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive);

  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", kAttributeReadOnly), kErrorSuccess);
  EXPECT_EQ(Permissions(), perms(0444));
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", kAttributeArchive), kErrorSuccess);
  EXPECT_EQ(Permissions(), perms(0644));  // the owner may write again
  std::filesystem::permissions(host_, perms(0660));
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", 0), kErrorSuccess);
  EXPECT_EQ(Permissions(), perms(0660));  // write bits that are there stay
}

TEST_F(FileAttributes, HiddenAndSystemLiveInDosAttribAsWineWritesIt) {
  const uint32_t protectedFile = kAttributeReadOnly | kAttributeHidden | kAttributeSystem;
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", protectedFile | kAttributeArchive), kErrorSuccess);
  EXPECT_EQ(DosAttrib(), "0x6");
  EXPECT_EQ(Permissions(), perms(0444));
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), protectedFile | kAttributeArchive);

  // The guard's mask: everything except read-only, hidden and system.
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", (protectedFile | kAttributeArchive) & 0xFFF8),
            kErrorSuccess);
  EXPECT_EQ(DosAttrib(), "");
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive);

  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", kAttributeHidden), kErrorSuccess);
  EXPECT_EQ(DosAttrib(), "0x2");
}

TEST_F(FileAttributes, DosAttribWrittenByOthersIsRead) {
  const std::pair<std::string, uint32_t> values[] = {
      {"0x2", kAttributeHidden},
      {std::string("0x24", 5), kAttributeSystem},  // Samba's final NUL, archive as usual
      {"0x7", kAttributeHidden | kAttributeSystem},
      {"6", 0},
      {"0x", 0},
      {"0xzz", 0},
      {std::string("\x03\x00\x04\x00", 4), 0}};  // binary form
  for (const auto& [value, bits] : values) {
    ASSERT_EQ(::setxattr(host_.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0);
    EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive | bits) << value;
  }
}

TEST_F(FileAttributes, BitsThatCannotBeStoredAreIgnored) {
  EXPECT_EQ(SetFileAttributes("c:\\msdos.sys", kAttributeDirectory | 0x80 | 0x100 | 0xFFFF0000),
            kErrorSuccess);
  EXPECT_EQ(GetFileAttributes("c:\\msdos.sys"), kAttributeArchive);
  std::filesystem::create_directory(drive_.Host("WINDOWS"));
  EXPECT_EQ(SetFileAttributes("c:\\windows", kAttributeReadOnly | kAttributeHidden), kErrorSuccess);
  EXPECT_EQ(GetFileAttributes("c:\\windows"), kAttributeDirectory | kAttributeHidden);
}

}  // namespace
}  // namespace startgarten::platform
