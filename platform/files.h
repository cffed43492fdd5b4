#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/dos/write_set.h"
#include "platform/windows/file_types.h"

// Whole files named by DOS paths, as Windows' file functions treat them.
//
// Within an open write set (write_set.h: WriteSet::Current, opened by the command that runs) a
// write is only staged: the file on the drive changes when the command commits the set, together
// with every other file the command wrote, or not at all; until then every read sees the staged
// content, and a failure to write is thrown at the commit. Without an open write set a write is a
// command of its own: the file is written at once, all or nothing. Renaming (MoveFile) is never
// staged.
namespace startgarten::platform {

// Reads a whole existing file, never more than limit bytes; a file staged in the open write set
// reads as staged.
ReadFileResult ReadWholeFile(std::string_view dosPath, size_t limit);

// Creates the file anew with exactly these bytes and normal attributes: a file it replaces keeps
// its owner, permission bits and extended attributes, but not its read-only, hidden and system
// attributes. Staged in the open write set, or written at once when none is open; a failure
// leaves the old file as it was. Throws Error with texts.create when the file cannot be created
// (read-only, a directory, a missing directory, no access: at once) and texts.write when its bytes
// cannot be put on disk (full disk, I/O error: at once or, when staged, at the commit).
void CreateWholeFile(std::string_view dosPath, std::string bytes, const FailureTexts& texts);

// The DOS attributes of a file, kInvalidFileAttributes when it does not exist.
uint32_t GetFileAttributes(std::string_view dosPath);

// Renames a file and never replaces one. Returns 0, or kErrorFileNotFound when the source is
// missing, kErrorAlreadyExists when the target exists (also under a name that differs only in
// case), kErrorNotSameDevice when they lie on different drives.
uint32_t MoveFile(std::string_view fromDosPath, std::string_view toDosPath);

// The Windows directory: "WinDir" of [Paths] in c:\msdos.sys when present and not empty, else
// "C:\WINDOWS"; at most 143 characters.
std::string GetWindowsDirectory();

}  // namespace startgarten::platform
