#pragma once

#include <linux/magic.h>
#include <sys/mount.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_drive.h"

// A folder of the temporary directory seen through bindfs, a FUSE file system as sshfs and the
// shared folders of virtual machines are: it refuses renameat2's flags, as those do.
namespace startgarten::test_support {

class FuseFolder {
 public:
  FuseFolder() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
      whyNot_ = "no /dev/fuse to use";
      return;
    }
    base_ = UniqueDirectory(std::filesystem::temp_directory_path());
    std::filesystem::create_directory(base_ / "source");
    std::filesystem::create_directory(base_ / "fuse");
    const std::string command = "bindfs --no-allow-other '" + (base_ / "source").string() + "' '" +
                                MountPoint().string() + "' 2>&1";
    if (std::system(command.c_str()) != 0 || !IsFuse(MountPoint()))
      whyNot_ = "bindfs (scripts/setup.sh installs it) could not mount " + MountPoint().string();
  }

  ~FuseFolder() {
    if (IsFuse(MountPoint())) ::umount2(MountPoint().c_str(), MNT_DETACH);
    std::error_code ignored;
    if (!base_.empty()) std::filesystem::remove_all(base_, ignored);
  }

  FuseFolder(const FuseFolder&) = delete;
  FuseFolder& operator=(const FuseFolder&) = delete;

  std::filesystem::path MountPoint() const { return base_ / "fuse"; }
  // Empty when the folder is mounted.
  const std::string& WhyNot() const { return whyNot_; }

 private:
  static bool IsFuse(const std::filesystem::path& path) {
    struct statfs fileSystem;
    return ::statfs(path.c_str(), &fileSystem) == 0 && fileSystem.f_type == FUSE_SUPER_MAGIC;
  }

  std::filesystem::path base_;
  std::string whyNot_;
};

// One FUSE folder for the whole test program, unmounted when it ends; empty, and why in whyNot,
// when this machine cannot mount one.
inline std::filesystem::path SharedFuseFolder(std::string* whyNot) {
  static const FuseFolder folder;
  if (whyNot) *whyNot = folder.WhyNot();
  return folder.WhyNot().empty() ? folder.MountPoint() : std::filesystem::path();
}

}  // namespace startgarten::test_support
