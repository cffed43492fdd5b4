#include "platform/dos_attribute_store.h"

#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <sys/xattr.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "platform/file_attributes.h"
#include "platform/file_system.h"

namespace startgarten::platform {

namespace {

constexpr const char* kDosAttributeName = "user.DOSATTRIB";
constexpr uint32_t kHiddenSystem = kAttributeHidden | kAttributeSystem;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool IsOnFat(int fd) {
  struct statfs fileSystem;
  return ::fstatfs(fd, &fileSystem) == 0 && fileSystem.f_type == MSDOS_SUPER_MAGIC;
}

// The hidden and system bits of user.DOSATTRIB in its text form "0x%x" (a final NUL, as Samba
// writes it, is allowed). Other forms, such as Samba's binary one, count as no attributes.
uint32_t ReadDosAttributeText(int fd) {
  char buffer[64];
  const ssize_t size = ::fgetxattr(fd, kDosAttributeName, buffer, sizeof buffer);
  if (size <= 0) return 0;
  std::string_view text(buffer, static_cast<size_t>(size));
  if (text.back() == '\0') text.remove_suffix(1);
  if (text.size() <= 2 || !text.starts_with("0x")) return 0;
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
  if (error != std::errc() || stop != end) return 0;
  return value & kHiddenSystem;
}

int WriteDosAttributeText(int fd, uint32_t hiddenSystem) {
  if (ReadDosAttributeText(fd) == hiddenSystem) return 0;
  int result;
  if (hiddenSystem == 0) {
    result = file_system::Fremovexattr(fd, kDosAttributeName);
    if (result != 0 && errno == ENODATA) return 0;
  } else {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", hiddenSystem);
    result = file_system::Fsetxattr(fd, kDosAttributeName, text, static_cast<size_t>(length));
  }
  if (result == 0 || errno == ENOTSUP) return 0;
  return errno;
}

int WriteFatAttributes(int fd, const struct stat& status, uint32_t attributes) {
  uint32_t current;
  if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &current) != 0) return errno;
  uint32_t wanted = (current & ~kHiddenSystem) | (attributes & kHiddenSystem);
  if (S_ISREG(status.st_mode)) {
    wanted = (wanted & ~ATTR_RO) | (attributes & kAttributeReadOnly ? ATTR_RO : 0);
  }
  if (wanted == current) return 0;
  return file_system::SetFatAttributes(fd, wanted) == 0 ? 0 : errno;
}

// Permission bits and user.DOSATTRIB, in an order that works for an owner who is not root:
// user extended attributes need write permission, so write bits come first and go last.
int WritePermissionsAndText(int fd, const struct stat& status, uint32_t attributes) {
  const mode_t current = status.st_mode & 07777;
  mode_t wanted = current;
  if (S_ISREG(status.st_mode)) {
    if (attributes & kAttributeReadOnly) {
      wanted &= ~kWriteBits;
    } else if (!(wanted & kWriteBits)) {
      wanted |= S_IWUSR;
    }
  }
  const bool grantsWrite = wanted != current && (wanted & kWriteBits);
  const bool revokesWrite = wanted != current && !(wanted & kWriteBits);
  if (grantsWrite && file_system::Fchmod(fd, wanted) != 0) return errno;
  if (const int error = WriteDosAttributeText(fd, attributes & kHiddenSystem)) return error;
  if (revokesWrite && file_system::Fchmod(fd, wanted) != 0) return errno;
  return 0;
}

}  // namespace

bool IsReadOnly(const struct stat& status) {
  return (status.st_mode & kWriteBits) == 0;
}

uint32_t ReadDosAttributes(int fd, const struct stat& status) {
  uint32_t attributes = S_ISDIR(status.st_mode) ? kAttributeDirectory : kAttributeArchive;
  if (IsReadOnly(status)) attributes |= kAttributeReadOnly;
  uint32_t fat;
  if (IsOnFat(fd)) {
    if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) == 0) attributes |= fat & kHiddenSystem;
  } else {
    attributes |= ReadDosAttributeText(fd);
  }
  return attributes;
}

int WriteDosAttributes(int fd, const struct stat& status, uint32_t attributes) {
  return IsOnFat(fd) ? WriteFatAttributes(fd, status, attributes)
                     : WritePermissionsAndText(fd, status, attributes);
}

}  // namespace startgarten::platform
