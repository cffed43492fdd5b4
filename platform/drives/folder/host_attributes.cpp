#include "platform/drives/folder/host_attributes.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/xattr.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/drives/folder/dos_attrib_value.h"
#include "platform/system/descriptor.h"
#include "platform/system/file_system.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;

// Whether an errno value says that the file system cannot hold what was to be set: then it held
// nothing of it either, and nothing is lost.
bool CannotHold(int error) {
  return error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

// The value of one extended attribute; none when it is gone. A value that grows or shrinks
// between asking its size and reading it is read again.
std::optional<std::string> ReadExtendedAttribute(int fd, const char* name, int& error) {
  for (;;) {
    const ssize_t length = file_system::Fgetxattr(fd, name, nullptr, 0);
    if (length < 0) {
      error = errno == ENODATA ? 0 : errno;
      return std::nullopt;
    }
    std::string value(static_cast<size_t>(length), '\0');
    const ssize_t got = file_system::Fgetxattr(fd, name, value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<size_t>(got));
      return value;
    }
    if (errno != ERANGE) {
      error = errno == ENODATA ? 0 : errno;
      return std::nullopt;
    }
  }
}

// The extended attributes of the old file for the new one; a file created anew gets normal DOS
// attributes in user.DOSATTRIB, in the form the old one had. Attributes that the file system
// cannot store, or that only a privileged process may set, are left out.
int CopyExtendedAttributes(int from, int to, NewAttributes attributes) {
  ssize_t size = file_system::Flistxattr(from, nullptr, 0);
  if (size <= 0) return size == 0 || errno == ENOTSUP ? 0 : errno;
  std::vector<char> names(static_cast<size_t>(size));
  size = file_system::Flistxattr(from, names.data(), names.size());
  if (size < 0) return errno;
  for (size_t at = 0; at < static_cast<size_t>(size);) {
    const std::string_view name(names.data() + at);
    at += name.size() + 1;
    int error = 0;
    std::optional<std::string> value = ReadExtendedAttribute(from, name.data(), error);
    if (error) return error;
    if (!value) continue;  // gone since the list was made
    if (attributes == NewAttributes::kNormal && name == kDosAttribName) {
      const uint32_t old = DosAttribAttributes(*value).value_or(0);
      value = WithDosAttribAttributes(*value, old & ~kProtectiveAttributes).value_or(*value);
    }
    if (file_system::Fsetxattr(to, name.data(), value->data(), value->size()) == 0) continue;
    const bool privileged = name.starts_with("security.") || name.starts_with("trusted.");
    if (errno == ENOTSUP || (privileged && (errno == EPERM || errno == EACCES))) continue;
    return errno;
  }
  return 0;
}

}  // namespace

// An owner that the process may not give (it is not root) stays the process's own. The permission
// bits come last: until then the new file stays writable, which setting user attributes needs.
int CopyHostAttributes(int from, const struct stat& old, int to, NewAttributes attributes) {
  struct stat now;
  if (::fstat(to, &now) != 0) return errno;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      file_system::Fchown(to, old.st_uid, old.st_gid) != 0 && errno != EPERM &&
      !CannotHold(errno)) {
    return errno;
  }
  if (const int error = CopyExtendedAttributes(from, to, attributes)) return error;
  if (file_system::Fchmod(to, old.st_mode & 07777) != 0 && !CannotHold(errno)) return errno;
  return 0;
}

// A FAT mount keeps read-only, hidden, system and archive in the directory entry, and nothing
// else of a file's attributes.
int FatAttributes(int fd, uint32_t& attributes) {
  return file_system::GetFatAttributes(fd, &attributes) == 0 ? 0 : errno;
}

int SettleFatAttributes(int directory, const std::string& name, uint32_t attributes) {
  const Descriptor fd(file_system::OpenBeneath(
      directory, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW, 0, kBeneath));
  if (!fd.IsOpen()) return errno;
  uint32_t now = 0;
  int error = FatAttributes(fd.Get(), now);
  if (!error && (now & kFatKept) != (attributes & kFatKept) &&
      file_system::SetFatAttributes(fd.Get(), (now & ~kFatKept) | (attributes & kFatKept)) != 0) {
    error = errno;
  }
  return error;
}

}  // namespace startgarten::platform
