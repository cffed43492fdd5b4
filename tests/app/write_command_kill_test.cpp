#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "support/bmp_files.h"
#include "support/boot_drive_fixture.h"
#include "support/child_processes.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

using namespace test_support;

// Killed while it shows a large shutdown picture, the program has left both pictures as they
// were, under their own names.
TEST(KilledStart, LeavesPicturesUnderTheirNames) {
  TempDrive drive;
  WriteBootFile(drive, {"BootMenu=0"});
  const std::string picture = BuildBmp({1024, 1024, 24, std::string(size_t{3} << 20, '\x40')});
  drive.Write("WINDOWS/LOGOS.SYS", picture);
  drive.Write("WINDOWS/LOGOW.SYS", picture);
  std::mt19937 random(7);
  for (int kill = 0; kill < 100; ++kill) {
    KillWhileRunning(random, 30000, [] {
      RecordingMessageBoxes boxes;
      for (;;) StartProgram(boxes);
    });
    EXPECT_EQ(drive.Entries("WINDOWS"),
              (std::set<std::string>{"LOGOS.SYS", "LOGOW.SYS", "WIN.COM"}));
    EXPECT_EQ(drive.Read("WINDOWS/LOGOS.SYS"), picture);
  }
}

}  // namespace
}  // namespace startgarten
