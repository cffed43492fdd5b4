#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "platform/drive.h"
#include "platform/drive_locations.h"
#include "platform/folder_drive.h"
#include "platform/image_drive.h"

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

}  // namespace startgarten::platform
