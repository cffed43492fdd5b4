#pragma once

#include <string_view>

// The daemon of an export that a killed run left running: killed together with its owner, the
// keeper can no longer end it, and it keeps the export mounted and the image's lock held, so that
// every later writer of the image would wait for it.
namespace startgarten::platform {

// Ends the daemon that pidFile in folder (an export's folder, open) names, when nothing but that
// daemon holds the export any more: its parent is no keeper (a shell running keeperScript) and no
// other process has the folder open. Only a process that is verifiably the export's daemon is
// signalled: its executable is qemu-storage-daemon, and one of its arguments holds mountpoint (the
// option that names the export's mount point, as QEMU was given it). Returns whether it has ended.
bool EndOrphanedDaemon(int folder, const char* pidFile, std::string_view mountpoint,
                       std::string_view keeperScript);

}  // namespace startgarten::platform
