#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Keys of INI-style files named by DOS paths, as Windows' profile functions read and write them.
//
// Within an open write set (write_set.h: WriteSet::Current, opened by the command that runs) a
// write is only staged: the file on the drive changes when the command commits the set, together
// with every other file the command wrote, or not at all; until then every read sees the staged
// content, and a failure to write is thrown at the commit. Without an open write set a write is a
// command of its own: the file is written at once, all or nothing.
namespace startgarten::platform {

// Reads one key of an INI-style file as Windows does: the first section, and in it the first
// key, whose names match case-insensitively; the value trimmed and without enclosing quotes,
// cut to bufferSize - 1 characters. The default comes back when the file, section, key or the
// key's "=" is missing. A file staged in the open write set reads as staged.
std::string ReadProfileString(std::string_view dosPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              size_t bufferSize);

// Writes one key: an existing key changes only its own line, a missing key is added after the
// last non-blank line of its section, a missing section is appended with its key, a missing
// file is created. Every other byte and the file's attributes stay as they were. Staged in the
// open write set, or written at once. Throws Error with failureText when the file cannot be
// written, at once or, when staged, at the commit (read-only unless the write set lifted its
// protection, a directory, a missing directory, full disk, ...), and also when section, key or
// value holds a line break or NUL, or the key is empty, holds "=" or begins with "[": written, such
// a text would change other keys.
void WriteProfileString(std::string_view dosPath, std::string_view section, std::string_view key,
                        std::string_view value, const std::string& failureText);

// A file that a read of a key found but could not read: its DOS path and the Windows error code
// (kErrorNotEnoughMemory for a file larger than any profile). The read gave the default, as for a
// missing file, which is what Windows does; a command that must not act on such a default (one
// without a user to see what was read) asks here.
struct UnreadableProfile {
  std::string dosPath;
  uint32_t error = 0;
};
// The first such file since the last call, or none.
std::optional<UnreadableProfile> TakeUnreadableProfile();

}  // namespace startgarten::platform
