#include "support/bindfs_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/disk_images.h"
#include "support/scoped_environment.h"
#include "support/temp_drive.h"  // ExtendedAttributes

namespace startgarten::test_support {
namespace {

namespace fs = std::filesystem;

// Waits up to 10 seconds for the mount to go.
bool UnmountedSoon(const fs::path& path) {
  for (int waited = 0; waited < 1000 && IsMountPoint(path); ++waited) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !IsMountPoint(path);
}

// The checks of other tests run on it as on a folder: what they write through FUSE, with its mode
// and extended attributes, is what the folder beneath holds; and renameat2's flags are refused, so
// those checks meet the file systems without them. It unmounts and removes its folders though a
// file is still open there.
TEST(BindfsFolder, ShowsTheFolderBeneathThroughFuseWithoutRenameFlags) {
  fs::path mount;
  int open = -1;
  {
    BindfsFolder folder;
    mount = folder.Mount();
    struct statfs status {};
    ASSERT_EQ(::statfs(mount.c_str(), &status), 0);
    EXPECT_EQ(status.f_type, FUSE_SUPER_MAGIC);

    const fs::path file = mount / "MSDOS.SYS";
    WriteHostBytes(file, "[Options]\r\n");
    ASSERT_EQ(::setxattr(file.c_str(), "user.DOSATTRIB", "0x27", 4, 0), 0);
    fs::permissions(file, fs::perms(0444));
    const fs::path beneath = folder.Backing() / "MSDOS.SYS";
    EXPECT_EQ(ReadHostBytes(beneath), "[Options]\r\n");
    EXPECT_EQ(fs::status(beneath).permissions(), fs::perms(0444));
    EXPECT_EQ(ExtendedAttributes(beneath).at("user.DOSATTRIB"), "0x27");

    open = ::open((mount / "new").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_NE(open, -1);
    EXPECT_EQ(
        ::renameat2(AT_FDCWD, (mount / "new").c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE),
        -1);
    EXPECT_EQ(errno, EINVAL);
  }
  EXPECT_FALSE(IsMountPoint(mount));
  EXPECT_FALSE(fs::exists(mount.parent_path()));
  ::close(open);
}

// A test process killed outright (or crashing) runs no destructor; its mount goes all the same.
TEST(BindfsFolder, DoesNotOutliveAKilledTestProcess) {
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    try {
      BindfsFolder folder;
      const std::string mount = folder.Mount().string() + "\n";
      if (::write(pipe[1], mount.data(), mount.size()) == ssize_t(mount.size())) ::pause();
    } catch (const std::exception&) {
    }
    ::_exit(1);
  }
  ::close(pipe[1]);
  std::string mount;
  char byte = 0;
  while (::read(pipe[0], &byte, 1) == 1 && byte != '\n') mount += byte;
  ::close(pipe[0]);
  EXPECT_TRUE(IsMountPoint(mount));
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  ASSERT_FALSE(mount.empty()) << "bindfs did not start";
  EXPECT_TRUE(UnmountedSoon(mount));
  std::error_code ignored;
  fs::remove_all(fs::path(mount).parent_path(), ignored);
}

TEST(BindfsFolder, ReportsABindfsThatCannotStartAndLeavesNothing) {
  std::string scratch = (fs::temp_directory_path() / "startgarten-XXXXXX").string();
  ASSERT_TRUE(::mkdtemp(scratch.data()));
  {
    const ScopedEnvironment environment({{"PATH", "/nonexistent"}, {"TMPDIR", scratch}});
    EXPECT_THROW(BindfsFolder(), std::runtime_error);
  }
  EXPECT_TRUE(fs::is_empty(scratch));
  fs::remove_all(scratch);
}

}  // namespace
}  // namespace startgarten::test_support
