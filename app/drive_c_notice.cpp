#include "app/drive_c_notice.h"

#include <filesystem>

#include "app/boot_drive_check.h"
#include "app/program_messages.h"
#include "platform/drives/drive_locations.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"

namespace startgarten {

std::optional<std::string> MissingDriveCLookedFor() {
  const std::optional<std::string> location = platform::DriveLocation('c');
  if (!location) return messages::kDriveCNoWinePrefix;

  // A drive that cannot be looked at (a folder on the way without permission) exists as far as
  // this notice goes: reading it reports the real fault.
  std::error_code error;
  if (std::filesystem::exists(*location, error) || error) return std::nullopt;

  std::string lookedFor = FormatMessageText(messages::kDriveCLookedFor, Utf8ToCp1252(*location));
  if (std::filesystem::is_symlink(*location, error)) {
    const std::filesystem::path target = std::filesystem::read_symlink(*location, error);
    lookedFor += FormatMessageText(messages::kDriveCLinkToNowhere, Utf8ToCp1252(target.string()));
  }
  return lookedFor;
}

std::optional<std::string> MissingDriveCNotice() {
  const std::optional<std::string> lookedFor = MissingDriveCLookedFor();
  if (!lookedFor) return std::nullopt;
  return FormatMessageText(messages::kDriveCMissing, *lookedFor);
}

std::optional<std::string> DriveCNotice() {
  if (std::optional<std::string> missing = MissingDriveCNotice()) return missing;
  return NoBootDriveNotice();
}

}  // namespace startgarten
