#include "platform/drives/image/image_in_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <memory>

#include "platform/system/descriptor.h"
#include "platform/system/file_system.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/messages.h"

// /proc is looked at with the system calls themselves: that is no file operation on a drive, and
// a part that cannot be read only hides processes, whose locks the lock test still finds.
namespace startgarten::platform {

namespace {

// A file system that has no locks of open file descriptions (QEMU then takes none either): the
// image is looked at in /proc alone.
bool LocksUnsupported(int error) {
  return error == EINVAL || error == ENOLCK || error == EOPNOTSUPP;
}

// The bytes of QEMU's scheme that a writer locks: the permissions it uses (reading a consistent
// image, writing) and those it does not grant (writing, resizing).
constexpr off_t kWriterLockBytes[] = {100, 101, 201, 203};

// A folder of /proc under parent.
Descriptor OpenProcFolder(int parent, const char* name) {
  return Descriptor::Direct(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

Directory OpenDirectoryAt(int parent, const char* name) {
  Descriptor fd = OpenProcFolder(parent, name);
  DIR* directory = fd.IsOpen() ? ::fdopendir(fd.Get()) : nullptr;
  if (directory) fd.Release();  // closedir closes it
  return Directory(directory);
}

// A small file of /proc, read whole; empty when it cannot be read.
std::string ReadSmallFile(int directory, const std::string& name) {
  const Descriptor fd = Descriptor::Direct(::openat(directory, name.c_str(), O_RDONLY | O_CLOEXEC));
  std::string text;
  char buffer[4096];
  for (ssize_t got;
       fd.IsOpen() && (got = ::read(fd.Get(), buffer, sizeof buffer)) > 0 && text.size() < 65536;) {
    text.append(buffer, static_cast<size_t>(got));
  }
  return text;
}

std::optional<unsigned long> Number(std::string_view text, int base = 10) {
  unsigned long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// What /proc/PID/fdinfo/N says of an open file: its access mode, and whether a lock is held
// through it.
struct OpenFile {
  bool writes = false;
  bool locks = false;
};

OpenFile ParseFileInfo(std::string_view info) {
  OpenFile file;
  while (!info.empty()) {
    const size_t end = std::min(info.find('\n'), info.size());
    std::string_view line = info.substr(0, end);
    info.remove_prefix(std::min(end + 1, info.size()));
    if (line.starts_with("flags:")) {
      line.remove_prefix(6);
      while (!line.empty() && (line.front() == '\t' || line.front() == ' ')) line.remove_prefix(1);
      if (const auto flags = Number(line, 8)) file.writes = (*flags & O_ACCMODE) != O_RDONLY;
    } else if (line.starts_with("lock:")) {
      file.locks = true;
    }
  }
  return file;
}

std::string ProgramName(int processDirectory) {
  std::string name = ReadSmallFile(processDirectory, "comm");
  while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
  return Utf8ToCp1252(name);
}

// Whether the open file is the image: by the attributes the kernel holds, so that a file of a
// hung network or FUSE file system is not asked.
bool IsImage(int fdDirectory, const char* name, const struct stat& image) {
  struct statx status;
  if (::statx(fdDirectory, name, AT_STATX_DONT_SYNC, STATX_INO, &status) != 0) return false;
  return status.stx_ino == image.st_ino &&
         ::makedev(status.stx_dev_major, status.stx_dev_minor) == image.st_dev;
}

// The other processes that have the image open: the first that holds a lock through it, else the
// first that writes it.
std::optional<ImageUser> FindProcess(const struct stat& image) {
  const Directory processes(::opendir("/proc"));
  if (!processes) return std::nullopt;
  const pid_t self = ::getpid();
  std::optional<ImageUser> writer;
  while (const dirent* entry = ::readdir(processes.get())) {
    const auto pid = Number(entry->d_name);
    if (!pid || static_cast<pid_t>(*pid) == self) continue;
    const Descriptor processDirectory = OpenProcFolder(::dirfd(processes.get()), entry->d_name);
    if (!processDirectory.IsOpen()) continue;
    const Directory fds = OpenDirectoryAt(processDirectory.Get(), "fd");
    const Descriptor infoDirectory = OpenProcFolder(processDirectory.Get(), "fdinfo");
    OpenFile found;
    while (fds && infoDirectory.IsOpen() && !found.locks) {
      const dirent* fd = ::readdir(fds.get());
      if (!fd) break;
      if (!Number(fd->d_name) || !IsImage(::dirfd(fds.get()), fd->d_name, image)) continue;
      const OpenFile file = ParseFileInfo(ReadSmallFile(infoDirectory.Get(), fd->d_name));
      found.writes |= file.writes;
      found.locks |= file.locks;
    }
    std::optional<ImageUser> user;
    if (found.locks || found.writes) {
      user = ImageUser{static_cast<pid_t>(*pid), ProgramName(processDirectory.Get())};
    }
    if (found.locks) return user;
    if (!writer) writer = user;
  }
  return writer;
}

// The name of a process that /proc may not show.
std::string ProgramNameOf(pid_t pid) {
  const Descriptor directory = OpenProcFolder(AT_FDCWD, ("/proc/" + std::to_string(pid)).c_str());
  return directory.IsOpen() ? ProgramName(directory.Get()) : std::string();
}

// A message about the image and the process that uses it.
std::string DescribeUse(const char* pattern, std::string_view imageName, const ImageUser& user) {
  const std::string program = user.program.empty() ? messages::kImageUserUnseen : user.program;
  const std::string pid = user.pid > 0 ? std::to_string(user.pid) : messages::kImagePidUnknown;
  return FormatMessageText(pattern, {imageName, program, pid});
}

}  // namespace

int FindImageUser(int fd, std::optional<ImageUser>& user) {
  user.reset();
  struct stat image;
  if (::fstat(fd, &image) != 0) return errno;
  // Any lock on the image that conflicts with an exclusive one: of another open file
  // description (QEMU's), or of another process (l_pid tells which).
  struct flock range = {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  if (file_system::RangeLock(fd, F_OFD_GETLK, &range) != 0) {
    if (!LocksUnsupported(errno)) return errno;
    range.l_type = F_UNLCK;
  }
  user = FindProcess(image);
  if (user || range.l_type == F_UNLCK) return 0;
  user = ImageUser{range.l_pid > 0 ? range.l_pid : 0, {}};
  if (user->pid > 0) user->program = ProgramNameOf(user->pid);
  return 0;
}

int HoldWriterLocks(int fd) {
  for (const off_t byte : kWriterLockBytes) {
    struct flock range = {};
    range.l_type = F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = byte;
    range.l_len = 1;
    if (file_system::RangeLock(fd, F_OFD_SETLK, &range) != 0) {
      return LocksUnsupported(errno) ? 0 : errno;
    }
  }
  return 0;
}

ImageInUseError::ImageInUseError(std::string_view imageName, const ImageUser& user)
    : Error(DescribeUse(messages::kImageInUse, imageName, user)),
      noticeAtStart_(DescribeUse(messages::kImageInUseAtStart, imageName, user)) {}

}  // namespace startgarten::platform
