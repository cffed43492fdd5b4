#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/drive.h"

namespace startgarten::platform {

// The file a DOS path ("C:\WINDOWS\logos.sys") names: its drive and its entry there.
struct DosFile {
  uint32_t error = 0;   // a Windows error code; 0 when the path names a file that exists or may
                        // be created
  std::string dosPath;  // as it was located, to name the file in messages
  std::shared_ptr<Drive> drive;
  DriveEntry entry;

  bool SameFile(const DosFile& other) const {
    return drive == other.drive && entry.path == other.entry.path;
  }
};

// Locates a DOS path (code page 1252). Anything that is not a drive letter, ":" and a
// "\"-separated path of valid names names no file: the result then carries kErrorPathNotFound,
// and nothing outside the drives is ever reached. "." and ".." are resolved inside the path and
// never climb above the drive's root.
DosFile LocateDosPath(std::string_view dosPath);

}  // namespace startgarten::platform
