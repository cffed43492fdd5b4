#include "support/bindfs_folder.h"

#include <linux/magic.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/temp_drive.h"

namespace startgarten::test_support {
namespace {

// Starts "bindfs -f backing mount", to end when the calling thread does.
pid_t StartBindfs(const fs::path& backing, const fs::path& mount) {
  const pid_t parent = ::getpid();
  const pid_t child = ::fork();
  if (child != 0) return child;
  // SIGTERM lets bindfs unmount before it ends; a parent gone before prctl took effect sends
  // nothing, hence the second look.
  if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent) ::_exit(126);
  ::execlp("bindfs", "bindfs", "-f", backing.c_str(), mount.c_str(), nullptr);
  ::_exit(127);
}

}  // namespace

BindfsFolder::BindfsFolder() {
  base_ = fs::canonical(UniqueDirectory(fs::temp_directory_path()));  // as mountinfo names it
  mount_ = base_ / "mount";
  fs::create_directory(Backing());
  fs::create_directory(mount_);
  bindfs_ = StartBindfs(Backing(), mount_);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = -1;
  while (bindfs_ == -1 || !IsOn(mount_, FUSE_SUPER_MAGIC)) {
    if (bindfs_ != -1 && ::waitpid(bindfs_, &status, WNOHANG) == bindfs_) bindfs_ = -1;
    if (bindfs_ == -1 || std::chrono::steady_clock::now() > deadline) {
      Unmount();
      throw std::runtime_error("bindfs did not mount " + mount_.string() + " (status " +
                               std::to_string(status) + ")");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

BindfsFolder::~BindfsFolder() {
  Unmount();
}

void BindfsFolder::Freeze() const {
  ::kill(bindfs_, SIGSTOP);
}

void BindfsFolder::Thaw() const {
  ::kill(bindfs_, SIGCONT);
}

// Stops bindfs, which unmounts, and removes the folders only once nothing is mounted there: a
// recursive removal through a live mount would reach whatever it shows.
void BindfsFolder::Unmount() {
  if (bindfs_ > 0) {
    ::kill(bindfs_, SIGTERM);
    ::kill(bindfs_, SIGCONT);  // a frozen one ends as well
    ::waitpid(bindfs_, nullptr, 0);
    bindfs_ = -1;
  }
  std::error_code ignored;
  if (!MountedUnder(base_)) fs::remove_all(base_, ignored);
}

}  // namespace startgarten::test_support
