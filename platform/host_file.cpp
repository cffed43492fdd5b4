#include "platform/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/dos_attribute_store.h"
#include "platform/file_attributes.h"
#include "platform/file_system.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTemporarySuffix = ".startgarten-new";
constexpr size_t kReadChunk = 64 * 1024;

WriteFileResult Failure(WriteFailure failure, int error) {
  return {failure, WindowsErrorFromErrno(error)};
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = file_system::Write(fd, bytes.data(), bytes.size());
    if (written < 0) return errno;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

// The hidden and system bits of the existing file, to carry over to its replacement.
int ReadHiddenSystem(const fs::path& path, uint32_t& hiddenSystem) {
  const int fd = file_system::Open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return errno;
  struct stat status;
  int error = ::fstat(fd, &status) == 0 ? 0 : errno;
  if (!error) {
    hiddenSystem = ReadDosAttributes(fd, status) & (kAttributeHidden | kAttributeSystem);
  }
  file_system::Close(fd);
  return error;
}

// Owner, permission bits and DOS attributes of the old file for the new one. An owner that the
// process may not give (it is not root) stays the process's own.
int CopyMetadata(int fd, const struct stat& old, uint32_t hiddenSystem) {
  struct stat status;
  if (::fstat(fd, &status) != 0) return errno;
  if ((status.st_uid != old.st_uid || status.st_gid != old.st_gid) &&
      file_system::Fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
    return errno;
  }
  if ((status.st_mode & 07777) != (old.st_mode & 07777)) {
    if (file_system::Fchmod(fd, old.st_mode & 07777) != 0) return errno;
    status.st_mode = old.st_mode;
  }
  return hiddenSystem ? WriteDosAttributes(fd, status, hiddenSystem) : 0;
}

// Makes the rename itself durable.
int SyncDirectory(const fs::path& directory) {
  const int fd = file_system::Open(directory, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return errno;
  int error = file_system::Fsync(fd) == 0 ? 0 : errno;
  if (file_system::Close(fd) != 0 && !error) error = errno;
  return error;
}

// Writes the temporary file completely; on failure nothing of it is left open.
int WriteTemporaryFile(int fd, std::string_view bytes, const struct stat* old,
                       uint32_t hiddenSystem) {
  int error = WriteAll(fd, bytes);
  if (!error && old) error = CopyMetadata(fd, *old, hiddenSystem);
  if (!error && file_system::Fsync(fd) != 0) error = errno;
  if (file_system::Close(fd) != 0 && !error) error = errno;
  return error;
}

fs::path TemporaryFileFor(const fs::path& path) {
  fs::path temporary = path;
  temporary += kTemporarySuffix;
  return temporary;
}

}  // namespace

ReadFileResult ReadHostFile(const fs::path& path, size_t limit) {
  ReadFileResult result;
  const int fd = file_system::Open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    result.error = WindowsErrorFromErrno(errno);
    return result;
  }
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    result.error = WindowsErrorFromErrno(errno);
  } else if (!S_ISREG(status.st_mode)) {
    result.error = kErrorAccessDenied;
  } else if (static_cast<uintmax_t>(status.st_size) > limit) {
    result.tooLarge = true;
  } else {
    // Up to the end of the file, not to the size fstat gave: the file may have grown since. One
    // byte more than that size is asked for, so that a file that has not grown takes a single
    // read into room that never moves; a file that grew is read on, up to one byte past limit.
    const size_t ceiling = limit + 1;
    FileBytes& bytes = result.bytes;
    bytes.Resize(static_cast<size_t>(status.st_size) + 1);
    size_t had = 0;
    for (;;) {
      if (had == bytes.size()) {
        if (had == ceiling) {
          result.tooLarge = true;
          break;
        }
        bytes.Resize(std::min(had + kReadChunk, ceiling));
      }
      const ssize_t got = file_system::Read(fd, bytes.Room() + had, bytes.size() - had);
      if (got < 0) result.error = WindowsErrorFromErrno(errno);
      if (got <= 0) break;
      had += static_cast<size_t>(got);
    }
    bytes.Resize(had);
  }
  file_system::Close(fd);
  if (result.error || result.tooLarge) result.bytes.Resize(0);
  return result;
}

WriteFileResult ReplaceHostFile(const fs::path& path, std::string_view bytes,
                                bool keepDosAttributes) {
  struct stat old;
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return Failure(WriteFailure::kCreate, errno);
  if (exists && (!S_ISREG(old.st_mode) || IsReadOnly(old))) {
    return {WriteFailure::kCreate, kErrorAccessDenied};
  }
  uint32_t hiddenSystem = 0;
  if (exists && keepDosAttributes) {
    if (const int error = ReadHiddenSystem(path, hiddenSystem)) {
      return Failure(WriteFailure::kCreate, error);
    }
  }

  // O_EXCL after removing a stale temporary file: the name is fixed, and whatever another
  // program placed there, a symbolic link above all, is never written through.
  const fs::path temporary = TemporaryFileFor(path);
  file_system::Unlink(temporary);
  const int fd = file_system::Open(temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
  if (fd < 0) return Failure(WriteFailure::kCreate, errno);

  int error = WriteTemporaryFile(fd, bytes, exists ? &old : nullptr, hiddenSystem);
  if (!error && file_system::Rename(temporary, path, 0) != 0) error = errno;
  if (error) {
    file_system::Unlink(temporary);
    return Failure(WriteFailure::kWrite, error);
  }
  if (const int syncError = SyncDirectory(path.parent_path())) {
    return Failure(WriteFailure::kWrite, syncError);
  }
  return {};
}

}  // namespace startgarten::platform
