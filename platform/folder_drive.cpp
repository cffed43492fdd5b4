#include "platform/folder_drive.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "platform/cp1252.h"
#include "platform/file_system.h"
#include "platform/folder_replacement.h"
#include "platform/host_io.h"
#include "platform/temporary_names.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;

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

// The name in capitals when it is plain ASCII and has small letters. A name is found as Wine
// finds it: its exact spelling first; else, of all names that match it without regard to case,
// the first in byte order. The capital form of a plain ASCII name is that first one when it
// exists, so it is tried without reading the directory: Windows 95 drives keep their names in
// capitals.
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

class FolderLock : public DriveLock {
 public:
  explicit FolderLock(int fd) : fd_(fd) {}
  ~FolderLock() override { file_system::Close(fd_); }

 private:
  int fd_;
};

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
  if (directory < 0) return {WriteFailure::kCreate, WindowsErrorFromErrno(errno), nullptr};
  return PrepareInFolder(directory, directoryPath, name, bytes, attributes, index, calls_);
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

// A removed directory has no links left; a file system that cannot say any more is taken as gone.
bool FolderDrive::IsGone() const {
  struct stat status;
  return ::fstat(root_, &status) != 0 || status.st_nlink == 0;
}

uint32_t FolderDrive::Complete(const std::string& temporaryPath, const std::string& path,
                               uint32_t attributes) {
  const auto [directoryPath, name] = Split(path);
  const int directory = OpenBelow(directoryPath, O_RDONLY | O_DIRECTORY);
  if (directory < 0) return WindowsErrorFromErrno(errno);
  const std::string temporary = temporaryPath.empty() ? "" : Split(temporaryPath).second;
  const uint32_t error = CompleteInFolder(directory, temporary, name, attributes);
  file_system::Close(directory);
  return error;
}

uint32_t FolderDrive::Remove(const std::string& path) {
  const auto [directoryPath, name] = Split(path);
  const int directory = OpenBelow(directoryPath, O_PATH | O_DIRECTORY);
  if (directory < 0) return WindowsErrorFromErrno(errno);
  const int error = file_system::UnlinkAt(directory, name.c_str()) == 0 ? 0 : errno;
  file_system::Close(directory);
  return WindowsErrorFromErrno(error);
}

void FolderDrive::RemoveTemporaryFiles(const std::string& directory) {
  const int fd = OpenBelow(directory, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  std::vector<std::string> names;
  // The listing reads through a descriptor of its own, which closedir releases.
  const int listed = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  DIR* listing = listed >= 0 ? ::fdopendir(listed) : nullptr;
  if (listing) {
    while (const dirent* entry = ::readdir(listing)) {
      if (IsTemporaryName(entry->d_name)) names.emplace_back(entry->d_name);
    }
    ::closedir(listing);
  } else if (listed >= 0) {
    ::close(listed);
  }
  for (const std::string& name : names) {
    struct stat status;
    if (::fstatat(fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
      file_system::UnlinkAt(fd, name.c_str());
  }
  file_system::Close(fd);
}

}  // namespace startgarten::platform
