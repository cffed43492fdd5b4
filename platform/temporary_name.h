#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

// The names of the temporary files that a write puts beside its targets, on folders and in disk
// images alike: "SG", six hexadecimal digits of the writing process's id, ".~" and two of the
// file's index within its command, e.g. "SG0004D2.~01". They are valid 8.3 names, so they exist
// on every FAT drive, and unique per process, so that two writers never share one.
namespace startgarten::platform {

// The name for the file with this index (0 to 255) of process pid (below 2^24).
std::string TemporaryFileName(pid_t pid, unsigned index);

// The process that a name of this pattern belongs to, in either letter case; none for every
// other name. Such a file left by a process that no longer writes is stale.
std::optional<pid_t> TemporaryFileOwner(std::string_view name);

}  // namespace startgarten::platform
