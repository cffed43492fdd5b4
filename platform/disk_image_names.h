#pragma once

// The file names of the disk images that Startgarten opens, as a file chooser filters them
// (separated by spaces): raw images of hard disks and floppies, fixed and dynamic VHD, and the
// formats of QEMU, VirtualBox, VMware, Hyper-V and Parallels, which it reads through QEMU.
namespace startgarten::platform {

inline constexpr const char* kDiskImagePatterns =
    "*.img *.ima *.raw *.bin *.dsk *.vfd *.flp *.vhd *.vhdx *.qcow2 *.qcow *.qed *.vdi *.vmdk "
    "*.hdd *.hds";

}  // namespace startgarten::platform
