#include "app/recent_drive_choices.h"

#include "platform/drives/drive_locations.h"
#include "platform/recent_drives.h"

namespace startgarten {

std::vector<RecentDriveChoice> RecentDriveChoices() {
  // A path that cannot be looked at (a folder on the way without permission) is not gone: the
  // box's check of it reports the real fault. One on a mount that does not answer is gone for
  // now, so that the box is not held up by it.
  std::vector<std::string> paths = platform::RecentDrives();
  const std::vector<bool> gone = platform::GoneNow(paths);
  std::vector<RecentDriveChoice> choices;
  for (size_t i = 0; i < paths.size(); ++i) choices.push_back({std::move(paths[i]), gone[i]});
  return choices;
}

void RememberChosenDriveC() {
  // The list is a convenience: when it cannot be written, the program goes on without it.
  if (const std::optional<std::string> chosen = platform::ChosenDriveC())
    platform::RememberRecentDrive(*chosen);
}

}  // namespace startgarten
