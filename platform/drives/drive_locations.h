#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>

// Where the drives of a DOS path live on this machine, as Wine maps them: drive X is
// $WINEPREFIX/dosdevices/x: (WINEPREFIX absolute, default ~/.wine), a folder or a link to one.
// Drive C can instead be chosen for one run; the other letters then come only from a prefix named
// in WINEPREFIX, never from ~/.wine.
namespace startgarten::platform {

// The host path of drive letter's root (either case), without a final "/"; none when there is no
// usable prefix (WINEPREFIX relative, or neither it nor HOME set, or no WINEPREFIX for a letter
// beside a chosen drive C) and the drive was not chosen.
// Whether anything exists there is not checked.
std::optional<std::string> DriveLocation(char letter);

// Makes path (absolute, or relative to the working directory) drive C for the rest of this run;
// the other drives still come from the prefix.
void ChooseDriveC(const std::string& path);

// The absolute path chosen as drive C, without a final "/"; none while drive C is the prefix's.
std::optional<std::string> ChosenDriveC();

// Whether the folder (its status) is the host's root or holds drive C's folder or image file,
// at any depth: a letter that leads there is no drive of a Windows 95, and a path on it would
// reach from drive C out into the host around it (Wine's z: is "/"). Folders are compared by
// device and inode, so links and bind mounts cannot hide one.
bool HoldsDriveC(const struct stat& folder);

// The disk image files a drive can be, as the file name patterns that a chooser offers: raw
// images of hard disks and floppies, fixed and dynamic VHD, and the formats of QEMU, VirtualBox,
// VMware, Hyper-V and Parallels, which QEMU reads for the program.
inline constexpr const char* kDiskImagePatterns =
    "*.img *.ima *.raw *.bin *.dsk *.vfd *.flp *.vhd *.vhdx *.qcow2 *.qcow *.qed *.vdi *.vmdk "
    "*.hdd *.hds";

}  // namespace startgarten::platform
