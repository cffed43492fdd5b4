#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace startgarten::platform {

// Where a DOS path ("C:\WINDOWS\logos.sys") lies on this machine. Drive X is the directory
// $WINEPREFIX/dosdevices/x: (WINEPREFIX absolute, default ~/.wine). Each component matches its
// directory case-insensitively when no exact match exists; "." and ".." are resolved inside
// the path and never climb above the drive's root.
struct MappedPath {
  uint32_t error = 0;  // a Windows error code; 0 when the path was mapped
  std::filesystem::path path;
};

// Maps a DOS path. Anything that is not a drive letter, ":" and a "\"-separated path names no
// file: the result then carries kErrorPathNotFound (or kErrorFileNotFound where Windows says so)
// and nothing outside the mapped drives is ever reached.
MappedPath MapDosPath(std::string_view dosPath);

}  // namespace startgarten::platform
