#include "platform/drives/file_holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <memory>
#include <string_view>

#include "platform/system/descriptor.h"
#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

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

// A file of /proc, read whole up to about limit bytes; empty when it cannot be read.
std::string ReadProcFile(int directory, const char* name, size_t limit = 65536) {
  const Descriptor fd = Descriptor::Direct(::openat(directory, name, O_RDONLY | O_CLOEXEC));
  std::string text;
  char buffer[4096];
  for (ssize_t got;
       fd.IsOpen() && (got = ::read(fd.Get(), buffer, sizeof buffer)) > 0 && text.size() < limit;) {
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

// The next line of text, taken off it.
std::string_view TakeLine(std::string_view& text) {
  const size_t end = std::min(text.find('\n'), text.size());
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(std::min(end + 1, text.size()));
  return line;
}

// What /proc/PID/fdinfo/N says of an open file: its access mode, and whether a lock is held
// through it.
FileOpening ParseFileInfo(std::string_view info) {
  FileOpening file;
  while (!info.empty()) {
    std::string_view line = TakeLine(info);
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

// The last name of a path.
std::string_view BaseName(std::string_view path) {
  return path.substr(path.rfind('/') + 1);
}

std::string ProgramName(int processDirectory) {
  char target[PATH_MAX];
  const ssize_t length = ::readlinkat(processDirectory, "exe", target, sizeof target);
  std::string name;
  if (length > 0 && static_cast<size_t>(length) < sizeof target) {
    std::string_view path(target, static_cast<size_t>(length));
    if (path.ends_with(" (deleted)")) path.remove_suffix(10);
    name = BaseName(path);
  }
  if (name.empty()) {
    const std::string line = ReadProcFile(processDirectory, "cmdline");
    name =
        BaseName(std::string_view(line).substr(0, line.find_first_of(std::string_view(" \0", 2))));
  }
  if (name.empty()) {
    name = ReadProcFile(processDirectory, "comm");
    while (!name.empty() && (name.back() == '\n' || name.back() == '\0')) name.pop_back();
  }
  return Utf8ToCp1252(name);
}

// Whether the open file is the file: by the attributes the kernel holds.
bool IsFile(int fdDirectory, const char* name, const struct stat& file) {
  struct statx status;
  if (::statx(fdDirectory, name, AT_STATX_DONT_SYNC, STATX_INO, &status) != 0) return false;
  return status.stx_ino == file.st_ino &&
         ::makedev(status.stx_dev_major, status.stx_dev_minor) == file.st_dev;
}

// How the process whose /proc folder this is has the file open; none when it has not.
std::optional<FileOpening> OpeningOf(int processDirectory, const struct stat& file) {
  std::optional<FileOpening> found;
  const Directory fds = OpenDirectoryAt(processDirectory, "fd");
  const Descriptor infoDirectory = OpenProcFolder(processDirectory, "fdinfo");
  while (fds && infoDirectory.IsOpen()) {
    const dirent* fd = ::readdir(fds.get());
    if (!fd) break;
    if (!Number(fd->d_name) || !IsFile(::dirfd(fds.get()), fd->d_name, file)) continue;
    const FileOpening opening = ParseFileInfo(ReadProcFile(infoDirectory.Get(), fd->d_name));
    if (!found) found.emplace();
    found->writes |= opening.writes;
    found->locks |= opening.locks;
  }
  return found;
}

// The process that /proc/locks names as the holder of a granted lock on the file: a line such as
// "1: FLOCK  ADVISORY  WRITE 4711 08:02:131090 0 EOF" (a waiter's has "->" after its number).
// -1 for a lock of an open file description, which names no process.
std::optional<pid_t> ListedLockHolder(const struct stat& file) {
  const std::string text = ReadProcFile(AT_FDCWD, "/proc/locks", size_t{1} << 20);
  char device[64];
  std::snprintf(device, sizeof device, "%02x:%02x:%lu", ::major(file.st_dev), ::minor(file.st_dev),
                static_cast<unsigned long>(file.st_ino));
  for (std::string_view lines = text; !lines.empty();) {
    const std::string_view line = TakeLine(lines);
    std::vector<std::string_view> fields;
    for (size_t at = 0; at < line.size();) {
      const size_t end = std::min(line.find(' ', at), line.size());
      if (end > at) fields.push_back(line.substr(at, end - at));
      at = end + 1;
    }
    if (fields.size() < 6 || fields[1] == "->" || fields[5] != device) continue;
    if (fields[4] == "-1") return -1;
    if (const auto pid = Number(fields[4])) return static_cast<pid_t>(*pid);
  }
  return std::nullopt;
}

}  // namespace

std::string ProgramNameOf(pid_t pid) {
  const Descriptor directory = OpenProcFolder(AT_FDCWD, ("/proc/" + std::to_string(pid)).c_str());
  return directory.IsOpen() ? ProgramName(directory.Get()) : std::string();
}

std::vector<FileOpening> FindOpenings(const struct stat& file) {
  std::vector<FileOpening> openings;
  const Directory processes(::opendir("/proc"));
  if (!processes) return openings;
  const pid_t self = ::getpid();
  while (const dirent* entry = ::readdir(processes.get())) {
    const auto pid = Number(entry->d_name);
    if (!pid || static_cast<pid_t>(*pid) == self) continue;
    const Descriptor processDirectory = OpenProcFolder(::dirfd(processes.get()), entry->d_name);
    if (!processDirectory.IsOpen()) continue;
    if (std::optional<FileOpening> opening = OpeningOf(processDirectory.Get(), file)) {
      opening->pid = static_cast<pid_t>(*pid);
      openings.push_back(*opening);
    }
  }
  return openings;
}

std::optional<FileHolder> FindLockHolder(const struct stat& file) {
  for (const FileOpening& opening : FindOpenings(file)) {
    if (opening.locks) return FileHolder{opening.pid, ProgramNameOf(opening.pid)};
  }
  const std::optional<pid_t> listed = ListedLockHolder(file);
  if (!listed) return std::nullopt;
  if (*listed <= 0) return FileHolder{};
  FileHolder holder{*listed, ProgramNameOf(*listed)};
  if (holder.program.empty()) holder.pid = 0;
  return holder;
}

}  // namespace startgarten::platform
