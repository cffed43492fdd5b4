#pragma once

#include <string>
#include <vector>

// The names in a folder of the host, read through the file system operations.
namespace startgarten::platform {

// The names in the directory open as fd (for reading, not yet read), without "." and "..", in
// the directory's order. Returns 0, or the errno value of a failed read; names then holds what was
// read before.
int ListDirectory(int fd, std::vector<std::string>& names);

}  // namespace startgarten::platform
