#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "app/form1.h"
#include "support/bmp_files.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

// Runs body in a child process, kills it after a random while and waits for it.
template <typename Body>
void KillWhileRunning(std::mt19937& random, unsigned maxMicroseconds, const Body& body) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    body();
    _exit(2);
  }
  std::this_thread::sleep_for(std::chrono::microseconds(random() % maxMicroseconds));
  ASSERT_EQ(kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
}

// Whether the batch file is whole: lines the command writes, each with its CR LF, and never a
// second call of start.bat. (A kill between the batch file and the boot file leaves the marker
// behind the batch file; the next write then comments the call out once more, which is harmless.)
bool IsWholeBatchFile(const std::optional<std::string>& bytes) {
  if (!bytes || !bytes->starts_with("@ECHO OFF\r\n") || !bytes->ends_with("\r\n")) return false;
  int calls = 0;
  for (size_t at = 11; at < bytes->size();) {
    const size_t end = bytes->find("\r\n", at);
    const std::string line = bytes->substr(at, end - at);
    if (line != "call start.bat" && line != "rem call start.bat") return false;
    calls += line == "call start.bat";
    at = end + 2;
  }
  return calls <= 1;
}

void Start(TForm1& window) {
  window.HandleEvent([&] { window.FormCreate(); });
}

using WriteCommandKill = test_support::WriteCommandDrive;

// A child switches the DOS prompt option on and off and writes, again and again, so that each
// write changes all three files; it is killed at a random moment, 300 times. Every file found
// afterwards is whole, one of the versions the command writes, with its attributes, under its own
// name; what a killed write left beside them is gone after the next start.
TEST_F(WriteCommandKill, KilledWritesLeaveWholeProtectedFilesUnderTheirNames) {
  Prepare(std::string(256 * 1024, 'x'));  // a large boot file, so that kills land inside writes
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
    KillWhileRunning(random, 20000, [this] {
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
      ASSERT_TRUE(name == kBatchFile ? IsWholeBatchFile(state.bytes)
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
      test_support::BuildBmp({1024, 1024, 24, std::string(3 * 1024 * 1024, '\x40')});
  drive.Write("WINDOWS/LOGOS.SYS", picture);
  drive.Write("WINDOWS/LOGOW.SYS", picture);
  std::mt19937 random(7);
  for (int kill = 0; kill < 100; ++kill) {
    KillWhileRunning(random, 30000, [this] {
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
