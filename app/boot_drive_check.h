#pragma once

#include <optional>
#include <string>

namespace startgarten {

// The notice before the window opens when drive C was chosen for this run (named on the command
// line or chosen in the box before the window) and is no Windows 95 boot drive, in code page
// 1252: the path, what was found there, and what such a drive holds. What was found: a folder
// (empty, or with the first names it holds) or a disk image without MSDOS.SYS in its root, an
// image without a usable FAT volume (the recognition's message), a FIFO, a device or another kind
// of file. None when MSDOS.SYS is there, matched without regard to case; when nothing is there
// (the missing drive's notice tells); and when drive C is the prefix's, whose faults the window's
// own messages report. Only a folder or a regular file is opened, so a FIFO or a device never
// makes this wait or read on.
std::optional<std::string> NoBootDriveNotice();

}  // namespace startgarten
