#include "support/bindfs_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "support/scoped_environment.h"

namespace startgarten::test_support {
namespace {

namespace fs = std::filesystem;

// The checks of other tests run on it as on a file system without renameat2's flags; it unmounts
// and removes its folders though a file is still open there.
TEST(BindfsFolder, RefusesRenameFlagsAndUnmountsThoughAFileIsOpen) {
  fs::path mount;
  int open = -1;
  {
    BindfsFolder folder;
    mount = folder.Mount();
    open = ::open((mount / "new").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_NE(open, -1);
    ::close(::open((mount / "old").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    EXPECT_EQ(::renameat2(AT_FDCWD, (mount / "new").c_str(), AT_FDCWD, (mount / "old").c_str(),
                          RENAME_EXCHANGE),
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
  ASSERT_FALSE(mount.empty()) << "bindfs did not start";
  EXPECT_TRUE(IsMountPoint(mount));
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  for (int waited = 0; waited < 1000 && IsMountPoint(mount); ++waited)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(IsMountPoint(mount));
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
