#include "platform/files.h"

#include <linux/fs.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/dos_path.h"
#include "platform/file_system.h"
#include "platform/host_file.h"
#include "platform/profile.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr const char* kDefaultWindowsDirectory = "C:\\WINDOWS";
constexpr size_t kMaxPath = 144;  // characters of a Windows path, its final NUL included

}  // namespace

ReadFileResult ReadWholeFile(std::string_view dosPath, size_t limit) {
  const MappedPath mapped = MapDosPath(dosPath);
  if (!mapped.error) return ReadHostFile(mapped.path, limit);
  ReadFileResult result;
  result.error = mapped.error;
  return result;
}

WriteFileResult CreateWholeFile(std::string_view dosPath, std::string_view bytes) {
  const MappedPath mapped = MapDosPath(dosPath);
  if (mapped.error) return {WriteFailure::kCreate, mapped.error};
  return ReplaceHostFile(mapped.path, bytes, false);
}

uint32_t MoveFile(std::string_view fromDosPath, std::string_view toDosPath) {
  const MappedPath from = MapDosPath(fromDosPath);
  if (from.error) return from.error;
  const MappedPath to = MapDosPath(toDosPath);
  if (to.error) return to.error;
  struct stat status;
  if (::lstat(from.path.c_str(), &status) != 0) return WindowsErrorFromErrno(errno);
  // The target was matched without regard to case, so a name that differs only in case
  // exists here too.
  if (::lstat(to.path.c_str(), &status) == 0) return kErrorAlreadyExists;
  if (file_system::Rename(from.path, to.path, RENAME_NOREPLACE) == 0) return kErrorSuccess;
  return WindowsErrorFromErrno(errno);
}

std::string GetWindowsDirectory() {
  std::string directory = ReadProfileString("c:\\msdos.sys", "Paths", "WinDir", "", kMaxPath);
  return directory.empty() ? kDefaultWindowsDirectory : directory;
}

}  // namespace startgarten::platform
