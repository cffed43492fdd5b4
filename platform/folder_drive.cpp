#include "platform/folder_drive.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "platform/cp1252.h"
#include "platform/dos_attrib_value.h"
#include "platform/file_system.h"
#include "platform/host_io.h"
#include "platform/temporary_names.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
constexpr uint32_t kFatProtective = ATTR_RO | ATTR_HIDDEN | ATTR_SYS;

std::string Join(const std::string& directory, std::string_view name) {
  std::string path = directory;
  if (!path.empty()) path += '/';
  return path.append(name);
}

// The directory of a path and the name in it.
std::pair<std::string, std::string> Split(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

// The name in capitals when it is plain ASCII and has small letters. Such a name's capital form
// is, of all names that match it without regard to case, the first in byte order, so when it
// exists it is the entry a directory scan would choose, found without reading the directory.
// Windows 95 drives keep their names in capitals.
std::optional<std::string> AsciiCapitals(std::string_view name) {
  std::string capitals(name);
  bool changed = false;
  for (char& c : capitals) {
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
      changed = true;
    }
  }
  if (!changed) return std::nullopt;
  return capitals;
}

// Where the descriptor's file is on the host, links resolved.
std::optional<std::string> HostPathOf(int fd) {
  char path[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) == sizeof path) return std::nullopt;
  return std::string(path, static_cast<size_t>(length));
}

mode_t NewFileMode() {
  static const mode_t mask = [] {
    const mode_t current = ::umask(0);
    ::umask(current);
    return current;
  }();
  return 0666 & ~mask;
}

class FolderLock : public DriveLock {
 public:
  explicit FolderLock(int fd) : fd_(fd) {}
  ~FolderLock() override { file_system::Close(fd_); }

 private:
  int fd_;
};

// The extended attributes of the old file for the new one; a file created anew gets normal DOS
// attributes in user.DOSATTRIB, in the form the old one had. Attributes that the file system
// cannot store, or that only a privileged process may set, are left out.
int CopyExtendedAttributes(int from, int to, NewAttributes attributes) {
  ssize_t size = ::flistxattr(from, nullptr, 0);
  if (size < 0) return errno == ENOTSUP ? 0 : errno;
  std::vector<char> names(static_cast<size_t>(size));
  size = ::flistxattr(from, names.data(), names.size());
  if (size < 0) return errno;
  for (size_t at = 0; at < static_cast<size_t>(size);) {
    const std::string_view name(names.data() + at);
    at += name.size() + 1;
    const ssize_t length = ::fgetxattr(from, name.data(), nullptr, 0);
    if (length < 0) continue;  // gone since the list was made
    std::string value(static_cast<size_t>(length), '\0');
    if (::fgetxattr(from, name.data(), value.data(), value.size()) != length) return errno;
    if (attributes == NewAttributes::kNormal && name == kDosAttribName) {
      const uint32_t old = DosAttribAttributes(value).value_or(0);
      value = WithDosAttribAttributes(value, old & ~kProtectiveAttributes).value_or(value);
    }
    if (file_system::Fsetxattr(to, name.data(), value.data(), value.size()) == 0) continue;
    const bool privileged = name.starts_with("security.") || name.starts_with("trusted.");
    if (errno == ENOTSUP || (privileged && (errno == EPERM || errno == EACCES))) continue;
    return errno;
  }
  return 0;
}

// Owner, extended attributes and permission bits of the old file. An owner that the process may
// not give (it is not root) stays the process's own. The permission bits come last: until then
// the new file stays writable, which setting user attributes needs.
int CopyAttributes(int from, const struct stat& old, int to, NewAttributes attributes) {
  if (IsOnFat(to)) {
    uint32_t fat = 0;
    if (::ioctl(from, FAT_IOCTL_GET_ATTRIBUTES, &fat) != 0) return errno;
    if (attributes == NewAttributes::kNormal) fat = (fat & ~kFatProtective) | ATTR_ARCH;
    return file_system::SetFatAttributes(to, fat) == 0 ? 0 : errno;
  }
  if (file_system::Fchown(to, old.st_uid, old.st_gid) != 0 && errno != EPERM) return errno;
  if (const int error = CopyExtendedAttributes(from, to, attributes)) return error;
  return file_system::Fchmod(to, old.st_mode & 07777) == 0 ? 0 : errno;
}

// The new version of a file, written beside it under a temporary name in the same directory.
class FolderPreparedFile : public PreparedFile {
 public:
  FolderPreparedFile(int directory, std::string name, std::string temporary)
      : directory_(directory), name_(std::move(name)), temporary_(std::move(temporary)) {}

  ~FolderPreparedFile() override {
    if (state_ == State::kBeside) file_system::UnlinkAt(directory_, temporary_.c_str());
    file_system::Close(directory_);
  }

  const std::string& Temporary() const { return temporary_; }
  void Replaces(bool existing) { existing_ = existing; }
  void Written() { state_ = State::kBeside; }

  // An existing file is exchanged with its new version, so that the old one stays under the
  // temporary name; where the file system cannot exchange, the new version replaces it.
  uint32_t PutInPlace() override {
    const char* temporary = temporary_.c_str();
    const char* name = name_.c_str();
    if (!existing_) {
      if (file_system::RenameAt(directory_, temporary, directory_, name, RENAME_NOREPLACE) != 0)
        return WindowsErrorFromErrno(errno);
      state_ = State::kCreated;
      return kErrorSuccess;
    }
    if (file_system::RenameAt(directory_, temporary, directory_, name, RENAME_EXCHANGE) == 0) {
      state_ = State::kExchanged;
      return kErrorSuccess;
    }
    if (errno != EINVAL) return WindowsErrorFromErrno(errno);
    if (file_system::RenameAt(directory_, temporary, directory_, name, 0) != 0)
      return WindowsErrorFromErrno(errno);
    state_ = State::kReplaced;
    return kErrorSuccess;
  }

  uint32_t TakeBack() override {
    const char* temporary = temporary_.c_str();
    const char* name = name_.c_str();
    int result = 0;
    if (state_ == State::kExchanged) {
      result = file_system::RenameAt(directory_, temporary, directory_, name, RENAME_EXCHANGE);
    } else if (state_ == State::kCreated) {
      result = file_system::RenameAt(directory_, name, directory_, temporary, RENAME_NOREPLACE);
    } else if (state_ == State::kReplaced) {
      return kErrorGenFailure;  // the old version is gone
    }
    if (result != 0) return WindowsErrorFromErrno(errno);
    state_ = State::kBeside;
    return kErrorSuccess;
  }

  uint32_t SyncDirectory() override {
    return file_system::Fsync(directory_) == 0 ? kErrorSuccess : WindowsErrorFromErrno(errno);
  }

  std::string DirectoryKey() const override {
    struct stat status;
    if (::fstat(directory_, &status) != 0) return std::to_string(directory_);
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  }

  void RemoveOldVersion() override {
    if (state_ == State::kExchanged) file_system::UnlinkAt(directory_, temporary_.c_str());
    state_ = State::kDone;
  }

 private:
  enum class State { kNone, kBeside, kCreated, kExchanged, kReplaced, kDone };

  int directory_;
  std::string name_;
  std::string temporary_;
  bool existing_ = false;
  State state_ = State::kNone;
};

Preparation Failed(WriteFailure failure, int error) {
  return {failure, WindowsErrorFromErrno(error), nullptr};
}

}  // namespace

std::unique_ptr<FolderDrive> FolderDrive::Open(const std::string& location) {
  const int root = file_system::Open(location.c_str(), O_PATH | O_DIRECTORY);
  if (root < 0) return nullptr;
  return std::unique_ptr<FolderDrive>(new FolderDrive(root, HostPathOf(root).value_or(location)));
}

FolderDrive::~FolderDrive() {
  file_system::Close(root_);
}

int FolderDrive::OpenBelow(const std::string& path, int flags, mode_t mode,
                           uint64_t resolve) const {
  return file_system::OpenBeneath(root_, path.empty() ? "." : path.c_str(), flags, mode,
                                  kBeneath | resolve);
}

std::optional<std::string> FolderDrive::PathOf(int fd) const {
  const std::optional<std::string> host = HostPathOf(fd);
  if (!host) return std::nullopt;
  if (*host == realRoot_) return std::string();
  const std::string prefix = realRoot_ == "/" ? "/" : realRoot_ + "/";
  if (!host->starts_with(prefix)) return std::nullopt;
  return host->substr(prefix.size());
}

FolderDrive::Found FolderDrive::Probe(const std::string& path, bool directory) {
  const int flags = O_PATH | (directory ? O_DIRECTORY : 0);
  // Without a link on the way the path is its own real path, found without asking /proc.
  int fd = OpenBelow(path, flags, 0, RESOLVE_NO_SYMLINKS);
  if (fd >= 0) {
    file_system::Close(fd);
    return Found::At(path);
  }
  if (errno != ELOOP) return Found::Failed(errno);
  fd = OpenBelow(path, flags);
  if (fd < 0) return Found::Failed(errno);
  std::optional<std::string> real = PathOf(fd);
  file_system::Close(fd);
  if (!real) return Found::Failed(EXDEV);
  return Found::At(std::move(*real));
}

FolderDrive::Found FolderDrive::FindEntry(const std::string& directory, std::string_view name,
                                          bool wantDirectory) {
  Found found = Probe(Join(directory, Cp1252ToUtf8(name)), wantDirectory);
  if (found.error != ENOENT) return found;
  if (const std::optional<std::string> capitals = AsciiCapitals(name)) {
    found = Probe(Join(directory, *capitals), wantDirectory);
    if (found.error != ENOENT) return found;
  }
  // Every entry whose name matches; of several, the first in byte order, so that the choice does
  // not depend on the directory's order.
  const int fd = OpenBelow(directory, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return Found::Failed(errno);
  DIR* listing = ::fdopendir(fd);
  if (!listing) {
    const int error = errno;
    file_system::Close(fd);
    return Found::Failed(error);
  }
  std::optional<std::string> match;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view entryName = entry->d_name;
    if (entryName == "." || entryName == ".." || !EqualsIgnoreCase(Utf8ToCp1252(entryName), name))
      continue;
    if (!match || entryName < *match) match = std::string(entryName);
  }
  ::closedir(listing);
  if (!match) return Found::Failed(ENOENT);
  return Probe(Join(directory, *match), wantDirectory);
}

DriveEntry FolderDrive::Find(const std::vector<std::string_view>& names) {
  DriveEntry entry{kErrorSuccess, ""};
  for (size_t i = 0; i < names.size(); ++i) {
    const bool last = i + 1 == names.size();
    const Found found = FindEntry(entry.path, names[i], !last);
    if (found.found) {
      entry.path = found.path;
      continue;
    }
    if (found.offTheDrive) return {last ? kErrorFileNotFound : kErrorPathNotFound, ""};
    if (found.error != ENOENT) return {WindowsErrorFromErrno(found.error), ""};
    if (!last) return {kErrorPathNotFound, ""};
    return {kErrorSuccess, Join(entry.path, Cp1252ToUtf8(names[i]))};
  }
  return entry;
}

FileStatus FolderDrive::Status(const std::string& path) {
  FileStatus status;
  const int fd = OpenBelow(path, O_PATH);
  if (fd < 0) return status;
  struct stat host;
  if (::fstat(fd, &host) == 0) {
    status.exists = true;
    status.regular = S_ISREG(host.st_mode);
    // Hidden and system need a descriptor that can read; a link has none (O_PATH).
    const int readable = status.regular || S_ISDIR(host.st_mode)
                             ? OpenBelow(path, O_RDONLY | O_NONBLOCK | O_NOCTTY)
                             : -1;
    status.attributes = HostDosAttributes(readable >= 0 ? readable : fd, host);
    if (readable >= 0) file_system::Close(readable);
  }
  file_system::Close(fd);
  return status;
}

ReadFileResult FolderDrive::ReadFile(const std::string& path, size_t limit) {
  const int fd = OpenBelow(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd >= 0) return ReadOpenFile(fd, limit);
  ReadFileResult result;
  result.error =
      Found::Failed(errno).offTheDrive ? kErrorFileNotFound : WindowsErrorFromErrno(errno);
  return result;
}

uint32_t FolderDrive::Rename(const std::string& from, const std::string& to) {
  const auto [fromDirectory, fromName] = Split(from);
  const auto [toDirectory, toName] = Split(to);
  const int source = OpenBelow(fromDirectory, O_PATH | O_DIRECTORY);
  if (source < 0) return WindowsErrorFromErrno(errno);
  const int target = OpenBelow(toDirectory, O_PATH | O_DIRECTORY);
  int error = target < 0 ? errno : 0;
  if (!error && file_system::RenameAt(source, fromName.c_str(), target, toName.c_str(),
                                      RENAME_NOREPLACE) != 0) {
    error = errno;
  }
  if (target >= 0) file_system::Close(target);
  file_system::Close(source);
  return WindowsErrorFromErrno(error);
}

Preparation FolderDrive::Prepare(const std::string& path, std::string_view bytes,
                                 NewAttributes attributes, unsigned index) {
  const auto [directoryPath, name] = Split(path);
  const int directory = OpenBelow(directoryPath, O_RDONLY | O_DIRECTORY);
  if (directory < 0) return Failed(WriteFailure::kCreate, errno);
  auto prepared = std::make_unique<FolderPreparedFile>(directory, name, TemporaryName(index));

  // The file it replaces, opened through the directory: Find resolved every link on the way.
  const int old = file_system::OpenBeneath(
      directory, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW, 0, kBeneath);
  if (old < 0 && errno != ENOENT) return Failed(WriteFailure::kCreate, errno);
  struct stat oldStatus;
  if (old >= 0 && (::fstat(old, &oldStatus) != 0 || !S_ISREG(oldStatus.st_mode))) {
    file_system::Close(old);
    return {WriteFailure::kCreate, kErrorAccessDenied, nullptr};
  }
  prepared->Replaces(old >= 0);

  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
  const char* temporary = prepared->Temporary().c_str();
  int fd = file_system::OpenBeneath(directory, temporary, flags, 0600, kBeneath);
  if (fd < 0 && errno == EEXIST) {
    // Left by a crashed process that had the same process id: never written through.
    file_system::UnlinkAt(directory, temporary);
    fd = file_system::OpenBeneath(directory, temporary, flags, 0600, kBeneath);
  }
  if (fd < 0) {
    const int error = errno;
    if (old >= 0) file_system::Close(old);
    return Failed(WriteFailure::kCreate, error);
  }
  prepared->Written();

  int error = WriteAll(fd, bytes);
  if (!error) {
    error = old >= 0 ? CopyAttributes(old, oldStatus, fd, attributes)
                     : (file_system::Fchmod(fd, NewFileMode()) == 0 ? 0 : errno);
  }
  if (!error && file_system::Fsync(fd) != 0) error = errno;
  if (file_system::Close(fd) != 0 && !error) error = errno;
  if (old >= 0) file_system::Close(old);
  if (error) return Failed(WriteFailure::kWrite, error);
  return {WriteFailure::kNone, kErrorSuccess, std::move(prepared)};
}

std::unique_ptr<DriveLock> FolderDrive::LockForWriting() {
  const int fd = OpenBelow("", O_RDONLY | O_DIRECTORY);
  if (fd < 0) return nullptr;
  if (file_system::Flock(fd, LOCK_EX) != 0) {
    file_system::Close(fd);
    return nullptr;
  }
  return std::make_unique<FolderLock>(fd);
}

void FolderDrive::RemoveTemporaryFiles(const std::string& directory) {
  const int fd = OpenBelow(directory, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  std::vector<std::string> names;
  if (DIR* listing = ::fdopendir(::dup(fd))) {
    while (const dirent* entry = ::readdir(listing)) {
      if (IsTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
  }
  for (const std::string& name : names) {
    struct stat status;
    if (::fstatat(fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
      file_system::UnlinkAt(fd, name.c_str());
  }
  file_system::Close(fd);
}

}  // namespace startgarten::platform
