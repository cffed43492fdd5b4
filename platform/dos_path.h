#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/drive.h"

namespace startgarten::platform {

// The file a DOS path ("C:\WINDOWS\logos.sys") names: its drive and its path there.
struct DosFile {
  uint32_t error = 0;   // a Windows error code; 0 when the path names a file that exists or may
                        // be created
  std::string dosPath;  // as it was given, to name the file in messages
  std::shared_ptr<Drive> drive;
  std::string path;  // on the drive, in its spelling (Drive::Resolve)

  bool SameFile(const DosFile& other) const { return drive == other.drive && path == other.path; }
};

// Resolves a DOS path (code page 1252) on its drive as the drives are now. Anything that is not a
// drive letter, ":" and a "\"-separated path of valid names names no file: the result then
// carries kErrorPathNotFound, and nothing outside the drives is ever reached. "." and ".." are
// resolved inside the path and never climb above the drive's root. (The file functions find their
// files through LocateFile, write_set.h, which resolves each path once per command.)
DosFile ResolveDosPath(std::string_view dosPath);

}  // namespace startgarten::platform
