#include "platform/drives/drive_locations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

std::optional<std::string> chosenDriveC;

// The prefix's dosdevices directory, ending in "/". A drive C chosen for the run stands alone
// unless the user named a prefix for it: the default ~/.wine would let a stranger's boot file
// reach the user's own drives (Wine's z: is the whole host).
std::optional<std::string> DosDevices() {
  std::string path;
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
    path = prefix;
  } else if (const char* home = std::getenv("HOME"); home && *home && !chosenDriveC) {
    path = std::string(home) + "/.wine";
  }
  if (!path.starts_with('/')) return std::nullopt;  // missing or not absolute
  if (!path.ends_with('/')) path += '/';
  return path + "dosdevices/";
}

}  // namespace

std::optional<std::string> DriveLocation(char letter) {
  letter = ToLowerCp1252(letter);
  if (letter == 'c' && chosenDriveC) return chosenDriveC;
  const std::optional<std::string> dosDevices = DosDevices();
  if (!dosDevices) return std::nullopt;
  return *dosDevices + letter + ':';
}

void ChooseDriveC(const std::string& path) {
  std::string absolute = path;
  if (!absolute.starts_with('/')) {
    if (char* working = ::getcwd(nullptr, 0)) {
      absolute = std::string(working) + "/" + absolute;
      std::free(working);
    }
  }
  while (absolute.size() > 1 && absolute.ends_with('/')) absolute.pop_back();
  chosenDriveC = absolute;
}

std::optional<std::string> ChosenDriveC() {
  return chosenDriveC;
}

bool HoldsDriveC(const struct stat& folder) {
  const auto isFolder = [&folder](const std::filesystem::path& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && status.st_dev == folder.st_dev &&
           status.st_ino == folder.st_ino;
  };
  if (isFolder("/")) return true;
  const std::optional<std::string> driveC = DriveLocation('c');
  if (!driveC) return false;
  std::error_code unresolved;
  const std::filesystem::path resolved = std::filesystem::canonical(*driveC, unresolved);
  if (unresolved) return false;  // no drive C: nothing for a path to climb out of
  for (std::filesystem::path above = resolved.parent_path(); above != resolved.root_path();
       above = above.parent_path()) {
    if (isFolder(above)) return true;
  }
  return false;
}

}  // namespace startgarten::platform
