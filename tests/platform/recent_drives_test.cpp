#include "platform/recent_drives.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <set>

#include "support/bindfs_folder.h"
#include "support/child_processes.h"
#include "support/disk_images.h"
#include "support/file_system_faults.h"
#include "support/scoped_environment.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace test_support;

using Paths = std::vector<std::string>;

class RecentDrivesTest : public testing::Test {
 protected:
  fs::path File() const { return drive.Config() / "startgarten" / "recent-drives"; }

  void WriteFile(const std::string& bytes) const {
    fs::create_directories(File().parent_path());
    WriteHostBytes(File(), bytes);
  }
  std::string FileBytes() const { return ReadHostBytes(File()); }

  TempDrive drive;
};

// The latest first, each once, five at most; the folders on the way are made.
TEST_F(RecentDrivesTest, KeepsTheLatestFiveEachOnce) {
  EXPECT_EQ(RecentDrives(), Paths());
  EXPECT_EQ(RecentDrivesFile(), File().string());
  for (const char* path : {"/a", "/b", "/c", "/b", "/d", "/e", "/f"})
    EXPECT_TRUE(RememberRecentDrive(path));
  EXPECT_EQ(RecentDrives(), (Paths{"/f", "/e", "/d", "/b", "/c"}));
  EXPECT_EQ(FileBytes(), "/f\n/e\n/d\n/b\n/c\n");
  EXPECT_EQ(fs::status(File()).permissions(), fs::perms(0600));

  // The latest again changes nothing on disk.
  const auto written = fs::last_write_time(File());
  SetFaultPlan({1, EIO});
  EXPECT_TRUE(RememberRecentDrive("/f"));
  SetFaultPlan({});
  EXPECT_EQ(fs::last_write_time(File()), written);

  // Neither a relative path nor one with a line break can be kept.
  EXPECT_FALSE(RememberRecentDrive("relative"));
  EXPECT_FALSE(RememberRecentDrive("/two\nlines"));
  EXPECT_EQ(RecentDrives(), (Paths{"/f", "/e", "/d", "/b", "/c"}));
  EXPECT_EQ(fs::directory_iterator(File().parent_path())->path(), File());
}

// XDG_CONFIG_HOME when absolute, else ~/.config; neither, no list.
TEST_F(RecentDrivesTest, LivesInTheUsersConfigFolder) {
  const std::string home = (drive.Base() / "home").string();
  fs::create_directories(home);
  {
    const ScopedEnvironment relative({{"HOME", home}, {"XDG_CONFIG_HOME", "relative"}});
    EXPECT_EQ(RecentDrivesFile(), home + "/.config/startgarten/recent-drives");
    EXPECT_TRUE(RememberRecentDrive("/x"));  // home/.config made on the way, not home itself
    EXPECT_FALSE(fs::exists(File()));
    EXPECT_EQ(RecentDrives(), Paths{"/x"});
    fs::remove_all(home);
    EXPECT_EQ(RecentDrives(), Paths());
    EXPECT_FALSE(RememberRecentDrive("/x"));
    EXPECT_FALSE(fs::exists(home));
  }
  const ScopedEnvironment none({{"HOME", ""}, {"XDG_CONFIG_HOME", ""}});
  EXPECT_EQ(RecentDrivesFile(), std::nullopt);
  EXPECT_FALSE(RememberRecentDrive("/x"));
}

// A drive on a mount that does not answer (bindfs stopped, as a stale network mount hangs) is gone
// for now, beside one that is there and one that is not; once the mount answers, it is there.
TEST_F(RecentDrivesTest, AMountThatDoesNotAnswerIsGoneForNow) {
  std::optional<BindfsFolder> mount;
  try {
    mount.emplace();
  } catch (const std::runtime_error& error) {
    GTEST_SKIP() << error.what();
  }
  fs::create_directory(mount->Backing() / "drive");  // not yet seen through the mount
  const Paths paths = {(mount->Mount() / "drive").string(), drive.Root().string(),
                       (drive.Base() / "gone").string()};
  mount->Freeze();
  EXPECT_EQ(GoneNow(paths), (std::vector<bool>{true, false, true}));
  mount->Thaw();
  EXPECT_EQ(GoneNow(paths), (std::vector<bool>{false, false, true}));
}

// A damaged list gives what can be read of it, and the next choice writes a sound one; a list that
// is no file gives nothing, and only a folder keeps its name.
TEST_F(RecentDrivesTest, ToleratesADamagedList) {
  const auto file = [this](const std::string& bytes) { return [=, this] { WriteFile(bytes); }; };
  const struct {
    const char* damage;
    std::function<void()> make;
    Paths read;
  } cases[] = {
      {"garbage and relative lines",
       file(std::string("\x01\xFF\n\nrelative\n/a\r\n/b") + '\0' + "x\n/a\n/c"),
       {"/a\r", "/a", "/c"}},
      {"more than five, repeated",
       file("/1\n/1\n/2\n/3\n/4\n/5\n/6\n"),
       {"/1", "/2", "/3", "/4", "/5"}},
      {"no final line break", file("/a\n/b"), {"/a", "/b"}},
      {"larger than a list can be", file("/a\n" + std::string(1 << 20, 'x')), {}},
      {"a folder", [this] { fs::create_directories(File()); }, {}},
      {"a FIFO", [this] { ::mkfifo(File().c_str(), 0600); }, {}},
      {"a link to a device", [this] { fs::create_symlink("/dev/zero", File()); }, {}},
  };
  for (const auto& [damage, make, read] : cases) {
    SCOPED_TRACE(damage);
    fs::remove_all(drive.Config());
    fs::create_directories(File().parent_path());
    make();
    EXPECT_EQ(RecentDrives(), read);
    const bool replaceable = !fs::is_directory(File());
    EXPECT_EQ(RememberRecentDrive("/new"), replaceable);
    if (!replaceable) continue;
    Paths after = {"/new"};
    for (const std::string& path : read)
      if (after.size() < kRecentDrivesKept) after.push_back(path);
    EXPECT_EQ(RecentDrives(), after);
  }
}

// A failure at any file operation leaves the list as it was or as it should become, and nothing
// beside it.
TEST_F(RecentDrivesTest, FailuresLeaveTheOldListOrTheNew) {
  for (const bool firstTime : {true, false}) {
    const Paths before = firstTime ? Paths() : Paths{"/b", "/a"};
    const Paths after = firstTime ? Paths{"/c"} : Paths{"/c", "/b", "/a"};
    for (unsigned long failAt = 1;; ++failAt) {
      SCOPED_TRACE((firstTime ? "no folder yet, failing operation " : "failing operation ") +
                   std::to_string(failAt));
      fs::remove_all(drive.Config());
      if (!firstTime) WriteFile("/b\n/a\n");
      SetFaultPlan({failAt, failAt % 2 ? ENOSPC : EIO});
      const bool remembered = RememberRecentDrive("/c");
      const unsigned long operations = OperationsPerformed();
      SetFaultPlan({});
      EXPECT_EQ(RecentDrives(), remembered ? after : before);
      std::error_code none;  // no folder
      for (const auto& entry : fs::directory_iterator(File().parent_path(), none))
        EXPECT_EQ(entry.path(), File());
      if (failAt > operations) break;
    }
  }
}

// Killed at any moment, a writer leaves a whole list: one of those it wrote.
TEST_F(RecentDrivesTest, KilledWritesLeaveAWholeList) {
  const std::set<std::string> versions = {"", "/one\n", "/two\n/one\n", "/one\n/two\n"};
  std::mt19937 random(23);
  for (int kill = 0; kill < 100; ++kill) {
    KillWhileRunning(random, 5000, [] {
      for (;;) {
        RememberRecentDrive("/one");
        RememberRecentDrive("/two");
      }
    });
    EXPECT_EQ(versions.count(FileBytes()), 1u) << FileBytes();
  }
  EXPECT_TRUE(RememberRecentDrive("/three"));
  EXPECT_EQ(RecentDrives().front(), "/three");
}

}  // namespace
}  // namespace startgarten::platform
