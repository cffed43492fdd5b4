#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <random>
#include <set>
#include <string>

#include "app/form1.h"
#include "support/bmp_files.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

using WriteCommandKill = test_support::WriteCommandDrive;

// A child switches the DOS prompt option on and off and writes, again and again, so that each
// write changes all three files; it is killed at a random moment. After the next start the three
// files are together one of the states a write leaves (all old or all new), each whole, with its
// attributes, under its own name, and nothing else is left beside them.
TEST_P(WriteCommandKill, KilledWritesLeaveAllOldOrAllNewAfterTheNextStart) {
  // A large boot file on the temporary directory, so that kills land inside writes; fewer kills on
  // the slower file systems.
  const bool here = GetParam().where == test_support::DriveHome::Where::kTemporary;
  Prepare(std::string(here ? size_t{256} << 10 : size_t{16} << 10, 'x'));
  std::vector<Files> states = {Now()};
  {
    TForm1 window(boxes, "Startgarten");
    window.HandleEvent([&] { window.FormCreate(); });
    for (int i = 0; i < 3; ++i) {
      window.Options().dosPromptAfterExit.UserClick();
      window.HandleEvent([&] { window.StartDateischreiben1Click(); });
      if (std::count(states.begin(), states.end(), Now()) == 0) states.push_back(Now());
    }
  }
  ASSERT_EQ(states.size(), 3u);  // as before, and the option on and off

  std::mt19937 random(20261207);
  const int kills = GetParam().name == "Temporary" ? 300 : 60;
  int leftovers = 0;
  for (int kill = 0; kill < kills; ++kill) {
    test_support::KillWhileRunning(random, here ? 20000 : 60000, [this] {
      TForm1 window(boxes, "Startgarten");
      window.HandleEvent([&] { window.FormCreate(); });
      for (;;) {
        window.Options().dosPromptAfterExit.UserClick();
        window.StartDateischreiben1Click();
      }
    });
    SCOPED_TRACE("kill " + std::to_string(kill));
    if (drive.Entries().size() > 3 || drive.Entries("WINDOWS").size() > 2) ++leftovers;
    if (!GetParam().renameSetsHidden) {
      EXPECT_EQ(Now().at(kBootFile).dosAttributes, kProtected);
    }
    Start();
    ASSERT_EQ(std::count(states.begin(), states.end(), Now()), 1);
    ExpectNothingBeside();
  }
  std::cout << "[          ] " << leftovers << " of " << kills
            << " kills left a file beside the others\n";
}

INSTANTIATE_TEST_SUITE_P(Homes, WriteCommandKill, testing::ValuesIn(test_support::DriveHomes()),
                         test_support::DriveHomeName);

// Killed while it shows a large shutdown picture, the program has left both pictures as they
// were, under their own names.
TEST(KilledStart, LeavesPicturesUnderTheirNames) {
  test_support::TempDrive drive;
  test_support::WriteBootFile(drive, {"BootMenu=0"});
  const std::string picture =
      test_support::BuildBmp({1024, 1024, 24, std::string(size_t{3} << 20, '\x40')});
  drive.Write("WINDOWS/LOGOS.SYS", picture);
  drive.Write("WINDOWS/LOGOW.SYS", picture);
  std::mt19937 random(7);
  for (int kill = 0; kill < 100; ++kill) {
    test_support::KillWhileRunning(random, 30000, [] {
      RecordingMessageBoxes boxes;
      for (;;) {
        TForm1 window(boxes, "Startgarten");
        window.HandleEvent([&] { window.FormCreate(); });
      }
    });
    EXPECT_EQ(drive.Entries("WINDOWS"),
              (std::set<std::string>{"LOGOS.SYS", "LOGOW.SYS", "WIN.COM"}));
    EXPECT_EQ(drive.Read("WINDOWS/LOGOS.SYS"), picture);
  }
}

}  // namespace
}  // namespace startgarten
