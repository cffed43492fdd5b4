#include "platform/drives/drive_locations.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

std::optional<std::string> chosenDriveC;

// The prefix's dosdevices directory, ending in "/".
std::optional<std::string> DosDevices() {
  std::string path;
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
    path = prefix;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
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

}  // namespace startgarten::platform
