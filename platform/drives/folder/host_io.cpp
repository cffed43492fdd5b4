#include "platform/drives/folder/host_io.h"

#include <linux/magic.h>
#include <sys/statfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/drives/folder/dos_attrib_value.h"
#include "platform/system/file_system.h"

namespace startgarten::platform {

namespace {

constexpr size_t kReadChunk = size_t{64} << 10;
constexpr uint32_t kHiddenSystem = kAttributeHidden | kAttributeSystem;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

}  // namespace

BytesRead ReadOpenFile(Descriptor fd, size_t limit) {
  BytesRead result = ReadHeldFile(fd.Get(), limit);
  fd.Close();
  return result;
}

BytesRead ReadHeldFile(int fd, size_t limit) {
  BytesRead result;
  struct stat status;
  if (::fstat(fd, &status) != 0) {
    result.error = errno;
  } else if (!S_ISREG(status.st_mode)) {
    result.error = EACCES;
  } else if (static_cast<uintmax_t>(status.st_size) > limit) {
    result.tooLarge = true;
  } else {
    // Up to the end of the file, not to the size fstat gave: the file may have grown since. One
    // byte more than that size is asked for, so that a file that has not grown takes a single
    // read into room that never moves; a file that grew is read on, up to one byte past limit
    // (a limit of the largest size_t takes no byte more: it does not wrap to none).
    const size_t ceiling = limit < SIZE_MAX ? limit + 1 : limit;
    const auto statedSize = static_cast<size_t>(status.st_size);
    FileBytes& bytes = result.bytes;
    bytes.Resize(statedSize + 1);
    size_t had = 0;
    for (;;) {
      if (had == bytes.size()) {
        if (had == ceiling) {
          result.tooLarge = true;
          break;
        }
        bytes.Resize(std::min(had + kReadChunk, ceiling));
      }
      const size_t room = bytes.size() - had;
      const ssize_t got = file_system::Read(fd, bytes.Room() + had, room);
      if (got < 0) result.error = errno;
      if (got <= 0) break;
      had += static_cast<size_t>(got);
      // Exactly the size fstat gave, and no more when more was asked for: the whole file, as it
      // was at that moment, without a further read to meet its end.
      if (had == statedSize && static_cast<size_t>(got) < room) break;
    }
    bytes.Resize(had);
  }
  if (result.error || result.tooLarge) result.bytes.Resize(0);
  return result;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = file_system::Write(fd, bytes.data(), bytes.size());
    if (written < 0) return errno;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return 0;
}

int FileSystemIsFat(int fd, bool& isFat) {
  struct statfs fileSystem;
  if (file_system::Fstatfs(fd, &fileSystem) != 0) return errno;
  isFat = fileSystem.f_type == MSDOS_SUPER_MAGIC;
  return 0;
}

int FlushRenames(int directory, bool onFat) {
  if (onFat && file_system::Syncfs(directory) != 0) return errno;
  return file_system::Fsync(directory) == 0 ? 0 : errno;
}

int FlushRemovals(int directory, bool onFat) {
  return !onFat || file_system::Fsync(directory) == 0 ? 0 : errno;
}

uint32_t HostDosAttributes(int fd, const struct stat& status) {
  uint32_t attributes = S_ISDIR(status.st_mode) ? kAttributeDirectory : kAttributeArchive;
  if ((status.st_mode & kWriteBits) == 0) attributes |= kAttributeReadOnly;
  bool onFat = false;
  if (FileSystemIsFat(fd, onFat) != 0) return attributes;
  if (onFat) {
    uint32_t fat;
    if (file_system::GetFatAttributes(fd, &fat) == 0) attributes |= fat & kHiddenSystem;
    return attributes;
  }
  char value[256];
  const ssize_t size = file_system::Fgetxattr(fd, kDosAttribName, value, sizeof value);
  if (size > 0) {
    const std::optional<uint32_t> stored =
        DosAttribAttributes(std::string_view(value, static_cast<size_t>(size)));
    if (stored) attributes |= *stored & kHiddenSystem;
  }
  return attributes;
}

}  // namespace startgarten::platform
