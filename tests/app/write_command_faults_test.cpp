#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>
#include <set>

#include "support/file_system_faults.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

using test_support::CannotCreate;
using test_support::CannotOpen;

// What the stages of the write command show when one of their file operations fails.
const std::set<std::string> kStageMessages = {
    "Kann nicht nach C:\\msdos.sys schreiben.", CannotOpen("c:\\autoexec.bat") + ".",
    CannotCreate("C:\\autoexec.bat") + ".", CannotCreate("C:\\WINDOWS\\start.bat") + ".",
    "Stream-Write-Fehler ."};
// Reading the host drive or finding its boot file before anything is written can fail too.
const std::set<std::string> kOpeningMessages = {"Fehler", CannotOpen("C:\\msdos.sys") + "."};

// Runs the whole write command, answered with OK, with a failure injected at each single file
// operation in turn (a full disk, a broken disk and a refusal in rotation) until the command runs
// to its end without reaching it. After each run the three files are all as before, with a
// message of the stage that failed, or all as after; each keeps its attributes; and what a failed
// cleanup left is gone after the next start.
class WriteCommandFaults : public test_support::WriteCommandDrive {
 protected:
  // The boxes shown after the question, and whether the failure was reached.
  std::pair<std::vector<std::string>, bool> Run(test_support::FaultPlan plan) {
    Prepare();
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    ChangeOptions(window);
    test_support::SetFaultPlan(plan);
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    const bool reached = plan.failAt && test_support::OperationsPerformed() >= plan.failAt;
    test_support::SetFaultPlan({});
    std::vector<std::string> texts = boxes.Texts();
    EXPECT_EQ(texts.at(0), "Wollen Sie die Start-Datei umschreiben?");
    texts.erase(texts.begin());
    return {texts, reached};
  }

  void StartAgain() {
    TForm1 window(boxes, "Startgarten");
    window.HandleEvent([&] { window.FormCreate(); });
  }

  ~WriteCommandFaults() override { test_support::SetFaultPlan({}); }
};

TEST_F(WriteCommandFaults, EveryFailureLeavesAllFilesAsBeforeOrAllAsAfter) {
  Prepare();
  const Files before = Now();
  ASSERT_TRUE(Run({}).first.empty());
  const Files after = Now();
  for (const char* name : {kBootFile, kBatchFile, kStartScript}) {
    ASSERT_NE(after.at(name).bytes, before.at(name).bytes) << name;
  }
  EXPECT_EQ(after.at(kBootFile).dosAttributes, kProtected);
  EXPECT_EQ(after.at(kBatchFile).attributes, before.at(kBatchFile).attributes);

  const int errors[] = {ENOSPC, EIO, EACCES};
  std::set<std::string> messagesSeen;
  unsigned long step = 1;
  for (;; ++step) {
    const auto [shown, reached] = Run({step, errors[step % 3]});
    if (!reached) break;
    SCOPED_TRACE("failure at operation " + std::to_string(step));
    const Files now = Now();
    ASSERT_TRUE(now == before || now == after);
    if (now == before) {
      ASSERT_FALSE(shown.empty());
      EXPECT_TRUE(kStageMessages.count(shown[0]) || kOpeningMessages.count(shown[0])) << shown[0];
      messagesSeen.insert(shown[0]);
    }
    StartAgain();
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"WIN.COM", "start.bat"}));
  }
  EXPECT_GT(step, 100u);
  std::cout << "[          ] " << step - 1 << " file operations, each made to fail\n";
  for (const std::string& message : kStageMessages)
    EXPECT_TRUE(messagesSeen.count(message)) << message;
}

}  // namespace
}  // namespace startgarten
