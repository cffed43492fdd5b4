#include "platform/file_attributes.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/dos_attribute_store.h"
#include "platform/dos_path.h"
#include "platform/file_system.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

// Opens a file or directory without reading it; O_NONBLOCK keeps a FIFO from blocking the open.
int OpenForAttributes(const std::filesystem::path& path) {
  return file_system::Open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
}

}  // namespace

uint32_t GetFileAttributes(std::string_view dosPath) {
  const MappedPath mapped = MapDosPath(dosPath);
  if (mapped.error) return kInvalidFileAttributes;
  const int fd = OpenForAttributes(mapped.path);
  if (fd < 0) return kInvalidFileAttributes;
  struct stat status;
  const uint32_t attributes =
      ::fstat(fd, &status) == 0 ? ReadDosAttributes(fd, status) : kInvalidFileAttributes;
  file_system::Close(fd);
  return attributes;
}

uint32_t SetFileAttributes(std::string_view dosPath, uint32_t attributes) {
  const MappedPath mapped = MapDosPath(dosPath);
  if (mapped.error) return mapped.error;
  const int fd = OpenForAttributes(mapped.path);
  if (fd < 0) return WindowsErrorFromErrno(errno);
  struct stat status;
  int error = ::fstat(fd, &status) == 0 ? 0 : errno;
  if (!error) error = WriteDosAttributes(fd, status, attributes);
  file_system::Close(fd);
  return WindowsErrorFromErrno(error);
}

}  // namespace startgarten::platform
