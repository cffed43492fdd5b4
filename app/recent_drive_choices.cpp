#include "app/recent_drive_choices.h"

#include <filesystem>

#include "platform/drives/drive_locations.h"
#include "platform/recent_drives.h"

namespace startgarten {

std::vector<RecentDriveChoice> RecentDriveChoices() {
  std::vector<RecentDriveChoice> choices;
  for (std::string& path : platform::RecentDrives()) {
    // A path that cannot be looked at (a folder on the way without permission) is not gone: the
    // box's check of it reports the real fault.
    std::error_code error;
    const bool gone =
        std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found;
    choices.push_back({std::move(path), gone});
  }
  return choices;
}

void RememberChosenDriveC() {
  // The list is a convenience: when it cannot be written, the program goes on without it.
  if (const std::optional<std::string> chosen = platform::ChosenDriveC())
    platform::RememberRecentDrive(*chosen);
}

}  // namespace startgarten
