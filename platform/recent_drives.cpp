#include "platform/recent_drives.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/drives/folder/host_io.h"
#include "platform/system/descriptor.h"
#include "platform/system/file_system.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr const char* kFolder = "startgarten";
constexpr const char* kFileName = "recent-drives";
// The new list before it takes the file's name. Writers take turns, so one name serves all; one
// that a killed writer left is overwritten by the next.
constexpr const char* kNewFileName = "recent-drives.new";
// Far more than five paths of the longest length a path can have: a larger file is damaged.
constexpr size_t kMaxFileBytes = size_t{64} << 10;

std::optional<std::string> ConfigHome() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') return config;
  if (const char* home = std::getenv("HOME"); home && *home == '/')
    return std::string(home) + "/.config";
  return std::nullopt;
}

std::vector<std::string> ParseList(std::string_view text) {
  std::vector<std::string> paths;
  while (!text.empty() && paths.size() < kRecentDrivesKept) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const bool usable = line.starts_with('/') && line.find('\0') == std::string_view::npos;
    if (usable && std::ranges::find(paths, line) == paths.end()) paths.emplace_back(line);
  }
  return paths;
}

// The list in the folder; none when it is there but cannot be read now (an I/O error), so that
// it is not replaced by a shorter one. A file that is no list (a folder, a device, a file larger
// than a list can be) is damaged: it gives an empty list, and the next choice replaces it.
std::optional<std::vector<std::string>> ReadList(int directory) {
  Descriptor fd(file_system::OpenBeneath(directory, kFileName, O_RDONLY | O_NONBLOCK, 0, 0));
  if (!fd.IsOpen()) {
    if (errno == ENOENT || errno == EISDIR || errno == ENXIO) return std::vector<std::string>();
    return std::nullopt;
  }
  const BytesRead file = ReadOpenFile(std::move(fd), kMaxFileBytes);
  if (file.tooLarge || file.error == EACCES) return std::vector<std::string>();
  if (file.error) return std::nullopt;
  return ParseList(file.bytes);
}

// The folder of the file, open; not open when it cannot be made or opened.
Descriptor OpenFolder(const std::string& configHome) {
  const std::string folder = configHome + "/" + kFolder;
  if (file_system::MakeDirectoryAt(AT_FDCWD, folder.c_str(), 0700) != 0 && errno == ENOENT &&
      file_system::MakeDirectoryAt(AT_FDCWD, configHome.c_str(), 0700) == 0) {
    file_system::MakeDirectoryAt(AT_FDCWD, folder.c_str(), 0700);
  }
  return Descriptor(file_system::Open(folder.c_str(), O_RDONLY | O_DIRECTORY));
}

bool WriteList(int directory, const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += path + "\n";
  Descriptor fd(file_system::OpenBeneath(directory, kNewFileName,
                                         O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600,
                                         RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS));
  if (!fd.IsOpen()) return false;
  bool written = WriteAll(fd.Get(), text) == 0 && file_system::Fsync(fd.Get()) == 0;
  written = fd.Close() == 0 && written;
  written = written && file_system::RenameAt(directory, kNewFileName, directory, kFileName, 0) == 0;
  if (!written) {
    file_system::UnlinkAt(directory, kNewFileName);
    return false;
  }
  // The rename on the disk too; the list is whole either way.
  file_system::Fsync(directory);
  return true;
}

}  // namespace

std::optional<std::string> RecentDrivesFile() {
  const std::optional<std::string> configHome = ConfigHome();
  if (!configHome) return std::nullopt;
  return *configHome + "/" + kFolder + "/" + kFileName;
}

std::vector<std::string> RecentDrives() {
  const std::optional<std::string> configHome = ConfigHome();
  if (!configHome) return {};
  const std::string folder = *configHome + "/" + kFolder;
  const Descriptor directory(file_system::Open(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (!directory.IsOpen()) return {};
  return ReadList(directory.Get()).value_or(std::vector<std::string>());
}

bool RememberRecentDrive(const std::string& path) {
  const std::optional<std::string> configHome = ConfigHome();
  if (!configHome || !path.starts_with('/') || path.find('\n') != std::string::npos) return false;
  // Closing the folder ends the lock.
  const Descriptor directory = OpenFolder(*configHome);
  if (!directory.IsOpen()) return false;
  std::optional<std::vector<std::string>> paths;
  if (file_system::Flock(directory.Get(), LOCK_EX) == 0) paths = ReadList(directory.Get());
  if (!paths || (!paths->empty() && paths->front() == path)) return paths.has_value();
  std::erase(*paths, path);
  paths->insert(paths->begin(), path);
  if (paths->size() > kRecentDrivesKept) paths->resize(kRecentDrivesKept);
  return WriteList(directory.Get(), *paths);
}

std::vector<bool> GoneNow(const std::vector<std::string>& paths, std::chrono::milliseconds wait) {
  // Shared with the threads, which may outlive this call when a file system does not answer.
  struct Answers {
    std::mutex mutex;
    std::condition_variable answered;
    std::vector<std::optional<bool>> gone;
  };
  const auto answers = std::make_shared<Answers>();
  answers->gone.resize(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    std::thread([answers, path = paths[i], i] {
      struct stat status;
      const bool gone = ::stat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
      const std::lock_guard lock(answers->mutex);
      answers->gone[i] = gone;
      answers->answered.notify_all();
    }).detach();
  }
  std::unique_lock lock(answers->mutex);
  answers->answered.wait_for(lock, wait, [&answers] {
    return std::ranges::all_of(answers->gone,
                               [](const std::optional<bool>& gone) { return gone.has_value(); });
  });
  std::vector<bool> gone;
  for (const std::optional<bool>& answer : answers->gone) gone.push_back(answer.value_or(true));
  return gone;
}

}  // namespace startgarten::platform
