#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/drives/drive.h"

// DOS paths on the drive letters: the drive a letter stands for, and the file a DOS path names.
namespace startgarten::platform {

// The drive a letter stands for now (drive_locations.h), the same object as long as its location
// names the same folder or image file; none when there is none. Letters whose locations name one
// folder or image file share one drive. Throws Error when it is a disk image that holds no FAT
// volume that can be used, and kDriveHoldsDriveC for a letter other than C that leads to the
// host's root folder or a folder holding drive C (HoldsDriveC).
std::shared_ptr<Drive> DriveFor(char letter);

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
// resolved inside the path and never climb above the drive's root. Throws what DriveFor throws.
// (The file functions find their files through LocateFile, write_set.h, which resolves each path
// once per command.)
DosFile ResolveDosPath(std::string_view dosPath);

}  // namespace startgarten::platform
