#pragma once

#include <filesystem>

#include "platform/system/descriptor.h"

// A path resolved as realpath resolves it, name by name from the root, without looking up a name
// in a folder of the automounter (autofs) beyond the way to a folder the user chose: there the
// kernel asks the automounter to mount what the name stands for, which may contact another
// machine (/net/HOST) before anything can be checked. The way to the chosen folder is mounted
// already, as a file there is open.
namespace startgarten::platform {

struct LocalPath {
  enum class Found { kFile, kMissing, kThroughAutomount };
  Found found = Found::kMissing;
  std::filesystem::path path;  // kFile: the path without links, "." and ".."
  Descriptor file;             // kFile: the file or folder, opened with O_PATH (for fstat)
};

// Resolves path (a relative one from folder) following its links, at most 40. chosen is a
// resolved path.
LocalPath ResolveLocalPath(const std::filesystem::path& folder, const std::filesystem::path& path,
                           const std::filesystem::path& chosen);

}  // namespace startgarten::platform
