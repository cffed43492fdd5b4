#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace startgarten::platform {

// Where a DOS path ("C:\WINDOWS\logos.sys") lies on this machine, below its drive's location
// (DriveLocation). Each component matches its
// directory case-insensitively when no exact match exists; "." and ".." are resolved inside
// the path and never climb above the drive's root.
struct MappedPath {
  uint32_t error = 0;  // a Windows error code; 0 when the path was mapped
  std::filesystem::path path;
};

// Maps a DOS path (code page 1252). Anything that is not a drive letter, ":" and a "\"-separated
// path of valid names names no file: the result then carries kErrorPathNotFound, and nothing
// outside the mapped drives is ever reached. Every directory on the way must exist
// (else kErrorPathNotFound); the last component need not, so that a file can be created there.
MappedPath MapDosPath(std::string_view dosPath);

}  // namespace startgarten::platform
