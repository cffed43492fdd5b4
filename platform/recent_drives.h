#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The drives C the user chose or named lately: the program's only file of its own,
// $XDG_CONFIG_HOME/startgarten/recent-drives (XDG_CONFIG_HOME when absolute, else ~/.config).
// It holds one absolute host path a line, the latest first.
namespace startgarten::platform {

inline constexpr size_t kRecentDrivesKept = 5;

// The file's path; none without an absolute XDG_CONFIG_HOME or HOME.
std::optional<std::string> RecentDrivesFile();

// The drives kept, the latest first, at most kRecentDrivesKept. A missing, unreadable or damaged
// file gives what can be read of it: a line that is no absolute path is passed over, and a file
// larger than the list can be, or one that is not a regular file, is not read at all.
std::vector<std::string> RecentDrives();

// Puts path (absolute) first, drops an earlier mention of it and what lies beyond the kept number,
// and replaces the file all or nothing: the new list is written beside it, flushed and renamed
// over it, while two instances take turns. False when that fails; the list stays as it was. A path
// with a line break cannot be kept and changes nothing.
bool RememberRecentDrive(const std::string& path);

// How long GoneNow waits for the file systems to answer.
inline constexpr std::chrono::milliseconds kRecentDriveWait{1000};

// Whether nothing is at each of the paths now, asked of all at once and answered within the wait:
// a path whose file system has not answered by then (a stale network mount, which can hang for
// minutes) counts as gone for now, and its question is left to end when the system answers. A
// path that cannot be looked at (a folder on the way without permission) is not gone.
std::vector<bool> GoneNow(const std::vector<std::string>& paths,
                          std::chrono::milliseconds wait = kRecentDriveWait);

}  // namespace startgarten::platform
