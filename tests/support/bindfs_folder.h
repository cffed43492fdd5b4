#pragma once

#include <sys/types.h>

#include <filesystem>

// A temporary folder seen through bindfs, a FUSE file system, so that a test can run the same
// checks on FUSE as on the folder itself: bindfs refuses renameat2's flags as sshfs, NFS and CIFS
// do, and passes owners, modes and extended attributes through to the folder beneath.
//
// bindfs runs in the foreground as a child of the test process, started without the file system
// seam (no injected failure may reach it). The destructor stops it, and bindfs unmounts on its way
// out (lazily, so a file left open does not keep the mount); when the test process dies first,
// the kernel stops bindfs the same way (PR_SET_PDEATHSIG), so no mount outlives its test. Create
// it on the thread that runs the test: the kernel ties bindfs's life to that thread.
namespace startgarten::test_support {

class BindfsFolder {
 public:
  // Mounts a new empty folder; throws std::runtime_error when bindfs does not mount within
  // 10 seconds or ends before.
  BindfsFolder();
  ~BindfsFolder();
  BindfsFolder(const BindfsFolder&) = delete;
  BindfsFolder& operator=(const BindfsFolder&) = delete;

  // Where the tests work: the FUSE mount.
  const std::filesystem::path& Mount() const { return mount_; }
  // The folder beneath it, where a file can be made that the kernel has not seen on the mount.
  std::filesystem::path Backing() const { return base_ / "backing"; }

  // Stops bindfs until Thaw, so that the mount hangs as a stale network mount does.
  void Freeze() const;
  void Thaw() const;

 private:
  void Unmount();

  std::filesystem::path base_, mount_;
  pid_t bindfs_ = -1;
};

// Whether a file system is mounted at path (per /proc/self/mountinfo).
bool IsMountPoint(const std::filesystem::path& path);

}  // namespace startgarten::test_support
