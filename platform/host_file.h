#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

#include "platform/files.h"

// Whole-file reading and crash-safe replacing of a file on the host, behind the DOS-path
// functions that use them.
namespace startgarten::platform {

// Reads a whole regular file, never more than limit bytes. A directory or device gives
// kErrorAccessDenied, as opening one for reading does on Windows.
ReadFileResult ReadHostFile(const std::filesystem::path& path, size_t limit);

// Gives the file exactly these bytes: they go to a temporary file beside it, named
// "<name>.startgarten-new" so that a stale one from an interrupted run is replaced; it is flushed
// to disk, gets the old file's owner and permission bits, with keepDosAttributes also its hidden
// and system attributes, and then replaces the old file in one rename. Any failure before the
// rename leaves the old file as it was and removes the temporary file. A read-only file is
// refused with kErrorAccessDenied, also for root.
WriteFileResult ReplaceHostFile(const std::filesystem::path& path, std::string_view bytes,
                                bool keepDosAttributes);

}  // namespace startgarten::platform
