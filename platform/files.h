#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_bytes.h"

namespace startgarten::platform {

struct ReadFileResult {
  uint32_t error = 0;     // a Windows error code, 0 on success
  bool tooLarge = false;  // the file holds more than the limit; bytes is then empty
  FileBytes bytes;
};

// Reads a whole existing file, never more than limit bytes.
ReadFileResult ReadWholeFile(std::string_view dosPath, size_t limit);

enum class WriteFailure { kNone, kCreate, kWrite };

struct WriteFileResult {
  WriteFailure failure = WriteFailure::kNone;
  uint32_t error = 0;  // a Windows error code, 0 on success
};

// Creates the file anew with exactly these bytes and normal attributes (the permission bits of a
// file it replaces stay), replacing an existing one in a single rename after the new content is
// on disk: a failure leaves the old file as it was. kCreate when the file cannot be created
// (read-only, missing directory, no access), kWrite when the bytes cannot be written, flushed or
// put in place (full disk, I/O error).
WriteFileResult CreateWholeFile(std::string_view dosPath, std::string_view bytes);

// Renames a file and never replaces one. Returns 0, or kErrorFileNotFound when the source is
// missing, kErrorAlreadyExists when the target exists (also under a name that differs only in
// case), kErrorAccessDenied, kErrorNotSameDevice when the drives lie on different file systems.
uint32_t MoveFile(std::string_view fromDosPath, std::string_view toDosPath);

// The Windows directory: "WinDir" of [Paths] in c:\msdos.sys when present and not empty, else
// "C:\WINDOWS"; at most 143 characters.
std::string GetWindowsDirectory();

}  // namespace startgarten::platform
