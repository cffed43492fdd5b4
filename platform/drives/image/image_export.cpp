#include "platform/drives/image/image_export.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <csignal>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "platform/drives/image/image_export_command.h"
#include "platform/drives/image/image_messages.h"
#include "platform/drives/image/orphaned_daemon.h"
#include "platform/system/directory_listing.h"
#include "platform/system/file_system.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kFusermount = "/usr/bin/fusermount3";
constexpr std::string_view kExportPrefix = "export-";
// The files of an export's folder: the file the disk is mounted on, the daemon's process id
// (written once the export is up) and what the daemon reports.
constexpr const char* kDisk = "disk";
constexpr const char* kPidFile = "pid";
constexpr const char* kErrorsFile = "errors";
constexpr size_t kErrorLimit = 4096;

std::string SystemText(int error) {
  return SystemErrorText(WindowsErrorFromErrno(error));
}

std::optional<long> Number(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The start of a small file in a folder; empty when it cannot be read. It is looked at, not
// changed, as often as the daemon's start takes: with the system calls themselves, so that the
// operations that the tests make fail come in the same order every time.
std::string ReadSmallFile(int folder, const char* name) {
  const Descriptor fd =
      Descriptor::Direct(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  char buffer[kErrorLimit];
  const ssize_t got = fd.IsOpen() ? ::read(fd.Get(), buffer, sizeof buffer) : -1;
  return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
}

// The folder that holds the exports' folders: the user's runtime folder, else the temporary one.
std::filesystem::path ExportsBase() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
    return runtime;
  }
  std::error_code error;
  const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path("/tmp") : temporary;
}

// The user's own folder of exports, by a canonical path, as the mount table gives paths.
std::string ExportsFolderPath() {
  std::error_code unresolved;
  const std::filesystem::path base = std::filesystem::canonical(ExportsBase(), unresolved);
  return ((unresolved ? ExportsBase() : base) / ("startgarten-" + std::to_string(::geteuid())))
      .string();
}

// The user's own folder of exports, made when missing; its descriptor, locked, so that exports
// are made and taken down one at a time.
Descriptor LockExportsFolder(std::string& path, std::string_view displayName) {
  path = ExportsFolderPath();
  const std::string name = Utf8ToCp1252(path);
  if (file_system::MakeDirectoryAt(AT_FDCWD, path.c_str(), 0700) != 0 && errno != EEXIST) {
    throw Error(FormatMessageText(messages::kImageEngineFailed, {displayName, SystemText(errno)}));
  }
  Descriptor folder(file_system::Open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW));
  if (folder.Get() < 0) {
    throw Error(FormatMessageText(messages::kImageEngineFailed, {displayName, SystemText(errno)}));
  }
  // A folder that another user could reach would let him replace what the daemon mounts on.
  struct stat status;
  if (::fstat(folder.Get(), &status) != 0 || status.st_uid != ::geteuid() ||
      (status.st_mode & 077) != 0) {
    throw Error(FormatMessageText(messages::kImageExportFolder, name));
  }
  if (file_system::Flock(folder.Get(), LOCK_EX) != 0) {
    throw Error(FormatMessageText(messages::kImageEngineFailed, {displayName, SystemText(errno)}));
  }
  return folder;
}

// Whether a file is a mount point, by the mount table, which asks no file system: a FUSE file
// system whose daemon is gone or hangs would not answer.
bool IsMountPoint(const std::string& path) {
  const Descriptor table = Descriptor::Direct(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC));
  if (!table.IsOpen()) return false;
  std::string text;
  char buffer[65536];
  for (ssize_t got; (got = ::read(table.Get(), buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<size_t>(got));
  }
  // The fifth field of each line is the mount point, with space, tab, newline and backslash
  // written as octal escapes.
  std::string escaped;
  for (const char c : path) {
    char octal[5];
    std::snprintf(octal, sizeof octal, "\\%03o", static_cast<unsigned char>(c));
    escaped +=
        c == ' ' || c == '\t' || c == '\n' || c == '\\' ? std::string(octal) : std::string(1, c);
  }
  for (size_t line = 0; line < text.size();) {
    const size_t end = std::min(text.find('\n', line), text.size());
    size_t field = line;
    for (int skip = 0; skip < 4 && field < end; ++skip) field = text.find(' ', field) + 1;
    const size_t fieldEnd = std::min(text.find(' ', field), end);
    if (field < end && text.compare(field, fieldEnd - field, escaped) == 0) return true;
    line = end + 1;
  }
  return false;
}

// Detaches what is mounted on path: as root directly, else through fusermount3.
void Unmount(const std::string& path) {
  if (::geteuid() == 0) {
    file_system::Unmount(path.c_str());
    return;
  }
  ProcessRequest request;
  request.program = kFusermount;
  request.arguments = {"fusermount3", "-u", "-z", "--", path};
  request.environment = ExportProgramEnvironment();
  request.timeout = std::chrono::seconds(10);
  RunProcess(request);
}

// Removes an export's folder in parent, unmounting first what is still mounted in it.
void RemoveExportFolder(int parent, const std::string& parentPath, const std::string& name) {
  const std::string disk = parentPath + "/" + name + "/" + kDisk;
  if (IsMountPoint(disk)) Unmount(disk);
  const Descriptor folder(file_system::OpenBeneath(
      parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, RESOLVE_BENEATH));
  if (folder.Get() >= 0) {
    for (const char* file : {kDisk, kPidFile, kErrorsFile})
      file_system::UnlinkAt(folder.Get(), file);
  }
  file_system::RemoveDirectoryAt(parent, name.c_str());
}

// Takes down, in the locked folder of exports, those whose folder nobody holds locked, and those
// that only a daemon left by a killed run holds, once it has ended.
void RemoveStaleExports(int parent, const std::string& parentPath) {
  const Descriptor listed(
      file_system::OpenBeneath(parent, ".", O_RDONLY | O_DIRECTORY, 0, RESOLVE_BENEATH));
  std::vector<std::string> names;
  if (listed.IsOpen()) ListDirectory(listed.Get(), names);  // what could be read of it
  for (const std::string& name : names) {
    if (!name.starts_with(kExportPrefix)) continue;
    const Descriptor folder(file_system::OpenBeneath(
        parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, RESOLVE_BENEATH));
    // A daemon closes its descriptors before its end is known: the lock is free by then.
    const auto unlocked = [&] {
      return folder.IsOpen() && file_system::Flock(folder.Get(), LOCK_EX | LOCK_NB) == 0;
    };
    const std::string mountpoint =
        ExportMountpointOption((std::filesystem::path(parentPath) / name / kDisk).string());
    if (unlocked() || (EndOrphanedDaemon(folder.Get(), kPidFile, mountpoint, kExportKeeperScript) &&
                       unlocked())) {
      RemoveExportFolder(parent, parentPath, name);
    }
  }
}

std::string RandomName() {
  unsigned char bytes[6] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    const auto now = Clock::now().time_since_epoch().count();
    for (size_t i = 0; i < sizeof bytes; ++i)
      bytes[i] ^= static_cast<unsigned char>(now >> (8 * i));
  }
  std::string name(kExportPrefix);
  for (const unsigned char byte : bytes) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", byte);
    name += hex;
  }
  return name;
}

}  // namespace

ImageExport::ImageExport(const std::vector<ImageLayer>& layers, const ContainerFormat& format,
                         std::string_view displayName, const Options& options)
    : displayName_(displayName), writable_(options.writable), timeout_(options.timeout) {
  if (::access(options.daemon.c_str(), X_OK) != 0) {
    throw Error(FormatMessageText(messages::kImageEngineMissing, {displayName, format.name}));
  }
  if (::geteuid() != 0 && ::access(kFusermount, X_OK) != 0) {
    throw Error(FormatMessageText(messages::kImageFuseMissing, {displayName, format.name}));
  }
  try {
    Start(layers, options);
  } catch (...) {
    Stop();
    throw;
  }
}

ImageExport::~ImageExport() {
  Stop();
}

void ImageExport::Fail(const char* message, std::string_view detail) {
  throw Error(FormatMessageText(message, {displayName_, detail}));
}

void ImageExport::Start(const std::vector<ImageLayer>& layers, const Options& options) {
  const Clock::time_point deadline = Clock::now() + timeout_;
  parent_ = LockExportsFolder(parentPath_, displayName_);
  RemoveStaleExports(parent_.Get(), parentPath_);
  name_ = RandomName();
  path_ = parentPath_ + "/" + name_;
  // The folder is made and locked under the lock of all exports, so that no other run takes it
  // for a stale one.
  if (file_system::MakeDirectoryAt(parent_.Get(), name_.c_str(), 0700) != 0) {
    name_.clear();
    Fail(messages::kImageEngineFailed, SystemText(errno));
  }
  folder_ = Descriptor(file_system::OpenBeneath(
      parent_.Get(), name_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW, 0, RESOLVE_BENEATH));
  if (!folder_.IsOpen() || file_system::Flock(folder_.Get(), LOCK_EX) != 0) {
    Fail(messages::kImageEngineFailed, SystemText(errno));
  }
  file_system::Flock(parent_.Get(), LOCK_UN);
  const Descriptor disk(file_system::OpenBeneath(folder_.Get(), kDisk, O_WRONLY | O_CREAT | O_EXCL,
                                                 0600, RESOLVE_BENEATH));
  errors_ = Descriptor(file_system::OpenBeneath(
      folder_.Get(), kErrorsFile, O_WRONLY | O_CREAT | O_EXCL, 0600, RESOLVE_BENEATH));
  if (!disk.IsOpen() || !errors_.IsOpen()) Fail(messages::kImageEngineFailed, SystemText(errno));

  // The pid file appears once the export is up: its folder is watched from before the start.
  const Descriptor watch = Descriptor::Direct(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK));
  if (watch.Get() < 0 || ::inotify_add_watch(watch.Get(), path_.c_str(),
                                             IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
    Fail(messages::kImageEngineFailed, SystemText(errno));
  }

  ProcessRequest request = ExportDaemonRequest(layers, options.daemon, writable_,
                                               path_ + "/" + kDisk, path_ + "/" + kPidFile);
  request.passedDescriptors = options.kept;
  request.passedDescriptors.push_back(folder_.Get());
  int pipe[2];
  if (::pipe2(pipe, O_CLOEXEC) != 0) Fail(messages::kImageEngineFailed, SystemText(errno));
  const Descriptor keeperInput = Descriptor::Direct(pipe[0]);
  keepAlive_ = Descriptor::Direct(pipe[1]);
  shell_ = StartProcess(request, keeperInput.Get(), errors_.Get());
  if (shell_.startError) Fail(messages::kImageEngineFailed, SystemText(shell_.startError));
  AwaitDaemon(deadline, watch.Get());

  fd_ = Descriptor(file_system::Open((path_ + "/" + kDisk).c_str(), writable_ ? O_RDWR : O_RDONLY));
  struct stat exported, folder;
  if (!fd_.IsOpen() || ::fstat(fd_.Get(), &exported) != 0 || ::fstat(folder_.Get(), &folder) != 0) {
    Fail(messages::kImageEngineFailed, SystemText(errno));
  }
  // The file itself rather than the export: the daemon did not mount it.
  if (exported.st_dev == folder.st_dev) Fail(messages::kImageEngineFailed, SystemText(ENODEV));
}

// Reads the daemon's id from its keeper, then waits until the daemon's pid file says that the
// export is up (watched through watch), or until the daemon has ended.
void ImageExport::AwaitDaemon(Clock::time_point deadline, int watch) {
  const auto left = [&] {
    return static_cast<int>(std::clamp<long long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count(), 0,
        1 << 30));
  };
  std::string reported;
  while (reported.find('\n') == std::string::npos) {
    pollfd output = {shell_.output.Get(), POLLIN, 0};
    const int ready = ::poll(&output, 1, left());
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) Fail(messages::kImageEngineTimedOut);
    char buffer[64];
    const ssize_t got = ::read(shell_.output.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) Fail(messages::kImageEngineFailed, QemuReport());
    reported.append(buffer, static_cast<size_t>(got));
  }
  const std::optional<long> daemon = Number(reported.substr(0, reported.find('\n')));
  if (!daemon || *daemon <= 0) Fail(messages::kImageEngineFailed, QemuReport());
  daemon_ = static_cast<pid_t>(*daemon);
  // The keeper reaps the daemon only after its end: until then the id stays the daemon's.
  daemonEnded_ = Descriptor::Direct(static_cast<int>(::syscall(SYS_pidfd_open, daemon_, 0)));
  while (Number(ReadSmallFile(folder_.Get(), kPidFile)) != daemon_) {
    pollfd events[2] = {{watch, POLLIN, 0}, {daemonEnded_.Get(), POLLIN, 0}};
    const int ready = ::poll(events, daemonEnded_.IsOpen() ? 2 : 1, left());
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) Fail(messages::kImageEngineTimedOut);
    if (events[1].revents) Fail(messages::kImageEngineFailed, QemuReport());
    char buffer[4096];
    while (::read(watch, buffer, sizeof buffer) > 0) {
    }
  }
}

// What the daemon reported, or a broken pipe when it wrote nothing.
std::string ImageExport::QemuReport() const {
  const std::string report = ExportDaemonReport(ReadSmallFile(folder_.Get(), kErrorsFile));
  return report.empty() ? SystemText(EPIPE) : report;
}

void ImageExport::Stop() {
  fd_.Close();
  keepAlive_.Close();
  errors_.Close();
  // Without the keep-alive pipe the keeper ends the daemon; one that does not end in time is
  // killed with it. A daemon that outlives its keeper (killed by someone else) is ended here.
  if (!AwaitProcess(shell_, Clock::now() + timeout_)) {
    ::kill(-shell_.pid, SIGKILL);
    AwaitProcess(shell_, Clock::now() + timeout_);
  }
  for (const int signal : {SIGTERM, SIGKILL}) {
    pollfd ended = {daemonEnded_.Get(), POLLIN, 0};
    if (!daemonEnded_.IsOpen() || ::poll(&ended, 1, 0) == 1) break;
    ::syscall(SYS_pidfd_send_signal, daemonEnded_.Get(), signal, nullptr, 0);
    ::poll(&ended, 1, static_cast<int>(timeout_.count()));
  }
  daemonEnded_.Close();
  if (!name_.empty()) RemoveExportFolder(parent_.Get(), parentPath_, name_);
  folder_.Close();
  parent_.Close();
}

void RemoveStaleImageExports() {
  std::string parentPath;
  std::error_code error;
  if (!std::filesystem::is_directory(ExportsFolderPath(), error)) return;
  try {
    const Descriptor parent(LockExportsFolder(parentPath, {}));
    RemoveStaleExports(parent.Get(), parentPath);
  } catch (const Error&) {
    // No folder of exports of one's own: nothing to take down.
  }
}

}  // namespace startgarten::platform
