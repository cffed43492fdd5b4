#include "app/boot_drive_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/program_messages.h"
#include "platform/drives/drive_locations.h"
#include "platform/files.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

namespace {

// The names a folder's description shows; the user sees at once whether it is, say, the folder
// above the drive.
constexpr size_t kNamesShown = 5;

std::string DescribeFolder(const std::string& location) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(location, error), end; !error && entry != end;
       entry.increment(error)) {
    names.push_back(entry->path().filename().string());
  }
  if (error) {
    const uint32_t code = platform::WindowsErrorFromErrno(error.value());
    return FormatMessageText(messages::kFoundUnreadableFolder, platform::SystemErrorText(code));
  }
  if (names.empty()) return messages::kFoundEmptyFolder;
  std::ranges::sort(names);
  std::string shown;
  for (size_t i = 0; i < std::min(names.size(), kNamesShown); ++i) {
    if (i > 0) shown += ", ";
    shown += Utf8ToCp1252(names[i]);
  }
  if (names.size() > kNamesShown) {
    shown += FormatMessageText(messages::kFoundFolderCount, std::to_string(names.size()));
  }
  return FormatMessageText(messages::kFoundFolder, shown);
}

std::optional<std::string> WhatIsNoBootDrive(const std::string& location) {
  struct stat status;
  if (::stat(location.c_str(), &status) != 0) return std::nullopt;
  if (S_ISFIFO(status.st_mode)) return messages::kFoundFifo;
  if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return messages::kFoundDevice;
  if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode)) return messages::kFoundOtherFile;
  uint32_t attributes = platform::kInvalidFileAttributes;
  try {
    attributes = platform::GetFileAttributes("C:\\MSDOS.SYS");
  } catch (const Error& error) {
    return std::string(error.what()) + ".";  // an image without a usable FAT volume
  }
  if (attributes == platform::kInvalidFileAttributes) {
    return S_ISDIR(status.st_mode) ? DescribeFolder(location)
                                   : messages::kFoundImageWithoutBootFile;
  }
  if (attributes & platform::kAttributeDirectory) return messages::kFoundBootFileFolder;
  return std::nullopt;
}

}  // namespace

std::optional<std::string> NoBootDriveNotice() {
  const std::optional<std::string> location = platform::ChosenDriveC();
  if (!location) return std::nullopt;
  const std::optional<std::string> found = WhatIsNoBootDrive(*location);
  if (!found) return std::nullopt;
  return FormatMessageText(
      messages::kDriveCNoBootDrive,
      FormatMessageText(messages::kDriveCChosen, Utf8ToCp1252(*location)) + "\n" + *found);
}

}  // namespace startgarten
