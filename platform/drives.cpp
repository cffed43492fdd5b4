#include <sys/stat.h>

#include <map>
#include <utility>

#include "platform/drive.h"
#include "platform/drive_locations.h"
#include "platform/folder_drive.h"

namespace startgarten::platform {

std::shared_ptr<Drive> DriveFor(char letter) {
  // One drive object for each folder, kept for the rest of the run: two letters mapped to one
  // folder share it, and a folder put in place of another gets a new one.
  static std::map<std::pair<dev_t, ino_t>, std::shared_ptr<Drive>> drives;
  const std::optional<std::string> location = DriveLocation(letter);
  struct stat status;
  if (!location || ::stat(location->c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
    return nullptr;
  std::shared_ptr<Drive>& drive = drives[{status.st_dev, status.st_ino}];
  if (!drive) drive = FolderDrive::Open(*location);
  return drive;
}

}  // namespace startgarten::platform
