#pragma once

#include <string>
#include <string_view>
#include <utility>

// Names and paths on a drive. A path is relative to the drive's root, its names separated by "/"
// and spelled as the drive spells them ("WINDOWS/LOGOS.SYS"); "" is the root.
namespace startgarten::platform {

// Whether name (code page 1252) can be the name of a file or folder on Windows: not empty, not
// "." or "..", no control character and none of <>:"/\|?*. As "/" and "\" are among them, a name
// never stands for more than one level.
bool IsValidFileName(std::string_view name);

// The folder of a path ("" for the root) and the name in it.
std::pair<std::string, std::string> SplitDrivePath(std::string_view path);

// The path of name in folder ("" for the root).
std::string JoinDrivePath(std::string_view folder, std::string_view name);

}  // namespace startgarten::platform
