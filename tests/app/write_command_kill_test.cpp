#include <gtest/gtest.h>

#include <iostream>
#include <random>
#include <set>
#include <string>

#include "app/form1.h"
#include "support/bmp_files.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

void Start(TForm1& window) {
  window.HandleEvent([&] { window.FormCreate(); });
}

using WriteCommandKill = test_support::WriteCommandDrive;

// A child switches the DOS prompt option on and off and writes, again and again, so that each
// write changes all three files; it is killed at a random moment, 300 times. Every file found
// afterwards is whole, one of the versions the command writes, with its attributes, under its own
// name; what a killed write left beside them is gone after the next start.
TEST_F(WriteCommandKill, KilledWritesLeaveWholeProtectedFilesUnderTheirNames) {
  Prepare(
      std::string(size_t{256} << 10, 'x'));  // a large boot file, so that kills land inside writes
  std::map<std::string, std::set<std::optional<std::string>>> versions;  // the other two files
  const auto remember = [&] {
    for (const auto& [name, state] : Now()) versions[name].insert(state.bytes);
  };
  remember();
  const Files before = Now();
  {
    TForm1 window(boxes, "Startgarten");
    Start(window);
    for (int i = 0; i < 2; ++i) {
      window.CheckBox12.UserClick();
      window.HandleEvent([&] { window.StartDateischreiben1Click(); });
      remember();
    }
  }
  ASSERT_EQ(versions[kBootFile].size(), 3u);

  std::mt19937 random(20261207);
  int leftovers = 0;
  for (int kill = 0; kill < 300; ++kill) {
    test_support::KillWhileRunning(random, 20000, [this] {
      TForm1 window(boxes, "Startgarten");
      Start(window);
      for (;;) {
        window.CheckBox12.UserClick();
        window.StartDateischreiben1Click();
      }
    });
    SCOPED_TRACE("kill " + std::to_string(kill));
    const Files now = Now();
    for (const auto& [name, state] : now) {
      ASSERT_TRUE(name == kBatchFile ? test_support::IsWholeBatchFile(state.bytes)
                                     : versions[name].count(state.bytes) == 1)
          << name << " is no version that was written: " << state.bytes.value_or("(missing)");
      EXPECT_EQ(state.attributes, before.at(name).attributes) << name;
      EXPECT_EQ(state.permissions, before.at(name).permissions) << name;
    }
    EXPECT_EQ(now.at(kBootFile).dosAttributes, kProtected);
    if (drive.Entries().size() > 3 || drive.Entries("WINDOWS").size() > 2) ++leftovers;
    TForm1 window(boxes, "Startgarten");
    Start(window);
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"WIN.COM", "start.bat"}));
  }
  std::cout << "[          ] " << leftovers << " kills left a file beside the others\n";
}

// Killed while it shows a large shutdown picture, the program has left both pictures as they
// were, under their own names.
TEST_F(WriteCommandKill, KilledStartsLeavePicturesUnderTheirNames) {
  Prepare();
  const std::string picture =
      test_support::BuildBmp({1024, 1024, 24, std::string(size_t{3} << 20, '\x40')});
  drive.Write("WINDOWS/LOGOS.SYS", picture);
  drive.Write("WINDOWS/LOGOW.SYS", picture);
  std::mt19937 random(7);
  for (int kill = 0; kill < 100; ++kill) {
    test_support::KillWhileRunning(random, 30000, [this] {
      for (;;) {
        TForm1 window(boxes, "Startgarten");
        Start(window);
      }
    });
    EXPECT_EQ(drive.Entries("WINDOWS"),
              (std::set<std::string>{"LOGOS.SYS", "LOGOW.SYS", "WIN.COM", "start.bat"}));
    EXPECT_EQ(drive.Read("WINDOWS/LOGOS.SYS"), picture);
  }
}

}  // namespace
}  // namespace startgarten
