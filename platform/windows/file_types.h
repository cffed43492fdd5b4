#pragma once

#include <cstdint>

#include "platform/system/file_bytes.h"

namespace startgarten::platform {

// DOS attribute bits.
inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeHidden = 0x02;
inline constexpr uint32_t kAttributeSystem = 0x04;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
// What a file's directory entry keeps besides the directory bit.
inline constexpr uint32_t kStoredAttributes =
    kAttributeReadOnly | kAttributeHidden | kAttributeSystem | kAttributeArchive;
// What a file created anew does not keep of the one it replaces.
inline constexpr uint32_t kProtectiveAttributes =
    kAttributeReadOnly | kAttributeHidden | kAttributeSystem;

struct ReadFileResult {
  uint32_t error = 0;     // a Windows error code, 0 on success
  bool tooLarge = false;  // the file holds more than the limit; bytes is then empty
  FileBytes bytes;
};

// Where writing a file failed: creating it (read-only, missing directory, no access) or putting
// its bytes on disk (full disk, I/O error).
enum class WriteFailure { kNone, kCreate, kWrite };

struct WriteFileResult {
  WriteFailure failure = WriteFailure::kNone;
  uint32_t error = 0;  // a Windows error code, 0 on success
};

}  // namespace startgarten::platform
