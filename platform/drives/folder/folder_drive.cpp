#include "platform/drives/folder/folder_drive.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "platform/drives/drive_errors.h"
#include "platform/drives/drive_path.h"
#include "platform/drives/folder/folder_found_version.h"
#include "platform/drives/folder/folder_replacement.h"
#include "platform/drives/folder/host_io.h"
#include "platform/drives/temporary_names.h"
#include "platform/drives/writer_lock.h"
#include "platform/system/directory_listing.h"
#include "platform/system/file_system.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;

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

// The folder's lock lasts as long as its opening, and the machine's lock file that stands in for
// it where the file system has no locks.
class FolderLock : public DriveLock {
 public:
  FolderLock(Descriptor fd, Descriptor machineLock)
      : fd_(std::move(fd)), machineLock_(std::move(machineLock)) {}

 private:
  Descriptor fd_;
  Descriptor machineLock_;
};

}  // namespace

std::unique_ptr<FolderDrive> FolderDrive::Open(const std::string& location) {
  Descriptor root(file_system::Open(location.c_str(), O_PATH | O_DIRECTORY));
  if (!root.IsOpen()) return nullptr;
  std::string realRoot = HostPathOf(root.Get()).value_or(location);
  return std::unique_ptr<FolderDrive>(new FolderDrive(std::move(root), std::move(realRoot)));
}

Descriptor FolderDrive::OpenBelow(const std::string& path, int flags, mode_t mode,
                                  uint64_t resolve) const {
  return Descriptor(file_system::OpenBeneath(root_.Get(), path.empty() ? "." : path.c_str(), flags,
                                             mode, kBeneath | resolve));
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
  if (OpenBelow(path, flags, 0, RESOLVE_NO_SYMLINKS).IsOpen()) return Found::At(path);
  if (errno != ELOOP) return Found::Failed(errno);
  const Descriptor fd = OpenBelow(path, flags);
  if (!fd.IsOpen()) return Found::Failed(errno);
  std::optional<std::string> real = PathOf(fd.Get());
  if (!real) return Found::Failed(EXDEV);
  return Found::At(std::move(*real));
}

FolderDrive::Found FolderDrive::MatchName(const std::string& directory, std::string_view name,
                                          bool wantDirectory) {
  Found found = Probe(JoinDrivePath(directory, Cp1252ToUtf8(name)), wantDirectory);
  if (found.error != ENOENT) return found;
  if (const std::optional<std::string> capitals = AsciiCapitals(name)) {
    found = Probe(JoinDrivePath(directory, *capitals), wantDirectory);
    if (found.error != ENOENT) return found;
  }
  // Every entry whose name matches; of several, the first in byte order, so that the choice does
  // not depend on the directory's order.
  const Descriptor fd = OpenBelow(directory, O_RDONLY | O_DIRECTORY);
  std::vector<std::string> names;
  if (!fd.IsOpen()) return Found::Failed(errno);
  if (const int error = ListDirectory(fd.Get(), names)) return Found::Failed(error);
  std::optional<std::string> match;
  for (const std::string& entryName : names) {
    if (EqualsIgnoreCase(Utf8ToCp1252(entryName), name) && (!match || entryName < *match))
      match = entryName;
  }
  if (!match) return Found::Failed(ENOENT);
  return Probe(JoinDrivePath(directory, *match), wantDirectory);
}

ResolvedPath FolderDrive::Resolve(const std::vector<std::string_view>& names) {
  ResolvedPath resolved{kErrorSuccess, ""};
  for (size_t i = 0; i < names.size(); ++i) {
    const bool last = i + 1 == names.size();
    const Found found = MatchName(resolved.path, names[i], !last);
    if (found.found) {
      resolved.path = found.path;
      continue;
    }
    if (found.offTheDrive) return {last ? kErrorFileNotFound : kErrorPathNotFound, ""};
    if (found.error != ENOENT) return {DriveError(found.error), ""};
    if (!last) return {kErrorPathNotFound, ""};
    return {kErrorSuccess, JoinDrivePath(resolved.path, Cp1252ToUtf8(names[i]))};
  }
  return resolved;
}

FileStatus FolderDrive::Status(const std::string& path) {
  FileStatus status;
  const Descriptor fd = OpenBelow(path, O_PATH);
  struct stat host;
  if (!fd.IsOpen() || ::fstat(fd.Get(), &host) != 0) return status;
  status.exists = true;
  status.regular = S_ISREG(host.st_mode);
  // Hidden and system need a descriptor that can read; a link has none (O_PATH).
  const Descriptor readable = status.regular || S_ISDIR(host.st_mode)
                                  ? OpenBelow(path, O_RDONLY | O_NONBLOCK | O_NOCTTY)
                                  : Descriptor();
  status.attributes = HostDosAttributes(readable.IsOpen() ? readable.Get() : fd.Get(), host);
  return status;
}

ReadFileResult FolderDrive::ReadFile(const std::string& path, size_t limit) {
  Descriptor fd = OpenBelow(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd.IsOpen()) return DriveRead(ReadOpenFile(std::move(fd), limit));
  BytesRead failed;
  failed.error = Found::Failed(errno).offTheDrive ? ENOENT : errno;
  return DriveRead(std::move(failed));
}

uint32_t FolderDrive::Rename(const std::string& from, const std::string& to) {
  const auto [fromDirectory, fromName] = SplitDrivePath(from);
  const auto [toDirectory, toName] = SplitDrivePath(to);
  const Descriptor source = OpenBelow(fromDirectory, O_PATH | O_DIRECTORY);
  if (!source.IsOpen()) return DriveError(errno);
  const Descriptor target = OpenBelow(toDirectory, O_PATH | O_DIRECTORY);
  if (!target.IsOpen()) return DriveError(errno);
  const bool renamed = file_system::RenameAt(source.Get(), fromName.c_str(), target.Get(),
                                             toName.c_str(), RENAME_NOREPLACE) == 0;
  return renamed ? kErrorSuccess : DriveError(errno);
}

Preparation FolderDrive::Prepare(const std::string& path, std::string_view bytes,
                                 NewAttributes attributes, unsigned index) {
  const auto [directoryPath, name] = SplitDrivePath(path);
  Descriptor directory = OpenBelow(directoryPath, O_RDONLY | O_DIRECTORY);
  if (!directory.IsOpen()) return {WriteFailure::kCreate, DriveError(errno), nullptr};
  auto file =
      std::make_unique<FolderReplacement>(std::move(directory), directoryPath, name, index, calls_);
  if (const int error = file->Create()) return {WriteFailure::kCreate, DriveError(error), nullptr};
  if (const int error = file->Write(bytes, attributes))
    return {WriteFailure::kWrite, DriveError(error), nullptr};
  return {WriteFailure::kNone, kErrorSuccess, std::move(file)};
}

std::unique_ptr<DriveLock> FolderDrive::LockForWriting() {
  const std::string name = Utf8ToCp1252(realRoot_);
  Descriptor fd = OpenBelow("", O_RDONLY | O_DIRECTORY);
  if (!fd.IsOpen()) RefuseWriterLock(name, errno);
  Descriptor machineLock = TakeWriterLock(fd.Get(), name);
  return std::make_unique<FolderLock>(std::move(fd), std::move(machineLock));
}

// A removed directory has no links left; a file system that cannot say any more is taken as gone.
bool FolderDrive::IsGone() const {
  struct stat status;
  return ::fstat(root_.Get(), &status) != 0 || status.st_nlink == 0;
}

std::unique_ptr<FoundVersion> FolderDrive::FindVersion(const std::string& path,
                                                       const std::string& name, size_t limit) {
  const auto [directoryPath, target] = SplitDrivePath(path);
  Descriptor directory = OpenBelow(directoryPath, O_RDONLY | O_DIRECTORY);
  Descriptor file;
  BytesRead read;
  if (directory.IsOpen()) {
    file = Descriptor(file_system::OpenBeneath(
        directory.Get(), name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW, 0, kBeneath));
  }
  if (file.IsOpen()) {
    read = ReadHeldFile(file.Get(), limit);
  } else {
    read.error = errno;
  }
  return FolderFoundVersion(std::move(directory), std::move(file), name, target,
                            DriveRead(std::move(read)));
}

// On FAT the removal is flushed at once: half on the disk, it would leave the volume damaged.
// Where that flush fails, the removal is left to the next one; whoever relies on it being on the
// disk flushes the directory after.
uint32_t FolderDrive::Remove(const std::string& path) {
  const auto [directoryPath, name] = SplitDrivePath(path);
  const Descriptor directory = OpenBelow(directoryPath, O_RDONLY | O_DIRECTORY);
  if (!directory.IsOpen()) return DriveError(errno);
  if (file_system::UnlinkAt(directory.Get(), name.c_str()) != 0) return DriveError(errno);
  bool onFat = false;
  if (FileSystemIsFat(directory.Get(), onFat) == 0) FlushRemovals(directory.Get(), onFat);
  return kErrorSuccess;
}

void FolderDrive::RemoveTemporaryFiles(const std::string& directory) {
  const Descriptor fd = OpenBelow(directory, O_RDONLY | O_DIRECTORY);
  std::vector<std::string> names;
  if (!fd.IsOpen()) return;
  ListDirectory(fd.Get(), names);  // what could be read of it
  bool removed = false;
  for (const std::string& name : names) {
    struct stat status;
    if (IsTemporaryName(name) &&
        ::fstatat(fd.Get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode)) {
      removed = file_system::UnlinkAt(fd.Get(), name.c_str()) == 0 || removed;
    }
  }
  // As every removal on FAT, flushed.
  bool onFat = false;
  if (removed && FileSystemIsFat(fd.Get(), onFat) == 0) FlushRemovals(fd.Get(), onFat);
}

}  // namespace startgarten::platform
