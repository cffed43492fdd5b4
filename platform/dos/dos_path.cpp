#include "platform/dos/dos_path.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "platform/drives/drive_locations.h"
#include "platform/drives/drive_path.h"
#include "platform/drives/folder/folder_drive.h"
#include "platform/drives/image/image_drive.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

// A drive opened for a letter, and the folder or image file it was opened on.
struct OpenDrive {
  dev_t device;
  ino_t inode;
  std::shared_ptr<Drive> drive;

  bool Is(const struct stat& status) const {
    return device == status.st_dev && inode == status.st_ino && !drive->IsGone();
  }
};

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Splits the part after "X:\" into names, resolving "." and ".." on the way: ".." at the root
// stays at the root, as on Windows. Empty names (doubled or final "\") are skipped.
std::optional<std::vector<std::string_view>> Names(std::string_view rest) {
  std::vector<std::string_view> names;
  while (!rest.empty()) {
    const size_t end = rest.find('\\');
    const std::string_view name = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    if (!IsValidFileName(name)) return std::nullopt;
    names.push_back(name);
  }
  return names;
}

}  // namespace

std::shared_ptr<Drive> DriveFor(char letter) {
  // Each letter keeps its drive while its location names the same folder or image file; letters
  // that name one share one drive, so that a file is the same file under either letter.
  static std::map<char, OpenDrive> drives;
  letter = static_cast<char>(letter | 0x20);
  const std::optional<std::string> location = DriveLocation(letter);
  struct stat status;
  if (!location || ::stat(location->c_str(), &status) != 0 ||
      !(S_ISDIR(status.st_mode) || S_ISREG(status.st_mode))) {
    drives.erase(letter);
    return nullptr;
  }
  // A letter that leads out around drive C (Wine's z: is "/") would let a boot file's path reach
  // the host's files: it is refused before anything on it is looked at.
  if (letter != 'c' && S_ISDIR(status.st_mode) && HoldsDriveC(status)) {
    drives.erase(letter);
    std::error_code unresolved;
    const std::filesystem::path folder = std::filesystem::canonical(*location, unresolved);
    throw Error(FormatMessageText(messages::kDriveHoldsDriveC,
                                  {std::string(1, ToUpperCp1252(letter)),
                                   Utf8ToCp1252(unresolved ? *location : folder.string())}));
  }
  if (const auto known = drives.find(letter); known != drives.end() && known->second.Is(status))
    return known->second.drive;
  std::shared_ptr<Drive> drive;
  for (const auto& [other, open] : drives) {
    if (open.Is(status)) drive = open.drive;
  }
  if (!drive && S_ISDIR(status.st_mode)) drive = FolderDrive::Open(*location);
  // An image is opened, and named in its messages, where its links lead; one that holds no usable
  // FAT volume throws its message.
  if (!drive && S_ISREG(status.st_mode)) {
    std::error_code unresolved;
    const std::filesystem::path image = std::filesystem::canonical(*location, unresolved);
    drive = std::make_shared<ImageDrive>(unresolved ? *location : image.string());
  }
  if (!drive) return nullptr;
  drives[letter] = {status.st_dev, status.st_ino, drive};
  return drive;
}

DosFile ResolveDosPath(std::string_view dosPath) {
  DosFile file;
  file.dosPath = dosPath;
  file.error = kErrorPathNotFound;
  if (dosPath.size() < 3 || !IsDriveLetter(dosPath[0]) || dosPath[1] != ':' || dosPath[2] != '\\')
    return file;
  const std::optional<std::vector<std::string_view>> names = Names(dosPath.substr(3));
  if (!names) return file;
  file.drive = DriveFor(dosPath[0]);
  if (!file.drive) return file;
  ResolvedPath resolved = file.drive->Resolve(*names);
  file.error = resolved.error;
  file.path = std::move(resolved.path);
  return file;
}

}  // namespace startgarten::platform
