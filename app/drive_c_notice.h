#pragma once

#include <optional>
#include <string>

namespace startgarten {

// The notice to show before the window opens when drive C does not exist (no usable Wine prefix,
// no dosdevices/c:, a link to nowhere, a chosen drive that is not there): what was looked for and
// how to set up a drive, in code page 1252. None when drive C exists, whatever it is.
std::optional<std::string> MissingDriveCNotice();

// What the notice says was looked for (the path, and where it links when it is a link to
// nowhere; or why there was nothing to look for), for a command without a window; none when
// drive C exists.
std::optional<std::string> MissingDriveCLookedFor();

// The notice before the window opens: drive C is missing, or it was chosen and is no Windows 95
// boot drive (NoBootDriveNotice). None when the window may open.
std::optional<std::string> DriveCNotice();

}  // namespace startgarten
