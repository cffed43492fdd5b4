#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/file_system.h"
#include "tests/bootfile/boot_drive_fixture.h"
#include "tests/support/rename_recorder.h"

namespace startgarten {
namespace {

using test_support::CrLf;
using test_support::RenamedFile;

constexpr const char* kBootFile = "MSDOS.SYS";
constexpr const char* kBatchFile = "AUTOEXEC.BAT";
constexpr const char* kStartScript = "WINDOWS/start.bat";

// What each stage of the write command shows when one of its file operations fails.
const std::map<std::string, std::set<std::string>> kMessagesOfStage = {
    {kBootFile, {"Kann nicht nach C:\\msdos.sys schreiben."}},
    {kBatchFile,
     {"Kann Datei c:\\autoexec.bat nicht \xF6"
      "ffnen.",
      "Kann Datei C:\\autoexec.bat nicht erstellen.", "Stream-Write-Fehler ."}},
    {kStartScript, {"Kann Datei C:\\WINDOWS\\start.bat nicht erstellen.", "Stream-Write-Fehler ."}},
};

// Runs the whole write command, answered with OK, with a failure injected at each single file
// operation in turn, until the command runs to its end without reaching the failure. After each
// run every file the command writes holds exactly the version it had after some whole number of
// the command's writes (each key of the boot file is written by a replacement of its own), no
// temporary file is left, the boot file is protected again and the right message was shown.
class WriteCommandFaults : public test_support::BootDriveTest,
                           public testing::WithParamInterface<int> {
 protected:
  // The drive as the command finds it: the DOS prompt option is switched on in the window, so
  // the batch file gets its call and the marker changes, besides all option keys.
  void PrepareDrive() {
    WriteBootFile({"BootMenu=0", "BootMenuDelay=30", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxx"});
    drive.Write(kBatchFile, CrLf({"@ECHO OFF", "rem call start.bat"}));
    drive.Write(kStartScript, CrLf({"@echo off", "old"}));
  }

  struct Outcome {
    std::vector<RecordingMessageBoxes::Shown> shown;  // after the question
    bool failureReached;
  };

  Outcome RunCommand(platform::file_system::FaultPlan plan) {
    PrepareDrive();
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    window.CheckBox1.UserClick();
    window.SpinEdit1.UserSetText("5");
    platform::file_system::SetFaultPlan(plan);
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    const bool reached =
        plan.failAt != 0 && platform::file_system::OperationsPerformed() >= plan.failAt;
    platform::file_system::SetFaultPlan({});
    EXPECT_EQ(boxes.shown.at(0).text, "Wollen Sie die Start-Datei umschreiben?");
    return {{boxes.shown.begin() + 1, boxes.shown.end()}, reached};
  }

  std::map<std::string, std::optional<std::string>> Files() const {
    return {{kBootFile, drive.Read(kBootFile)},
            {kBatchFile, drive.Read(kBatchFile)},
            {kStartScript, drive.Read(kStartScript)}};
  }

  // The files after the first count writes of the command.
  std::map<std::string, std::optional<std::string>> AfterWrites(size_t count) const {
    std::map<std::string, std::optional<std::string>> files = before_;
    for (size_t i = 0; i < count; ++i) files[FileOf(writes_[i])] = writes_[i].bytes;
    return files;
  }

  std::string FileOf(const RenamedFile& write) const {
    for (const char* file : {kBootFile, kBatchFile, kStartScript}) {
      if (write.target == (drive.Prefix() / "dosdevices" / "c:" / file).string()) return file;
    }
    ADD_FAILURE() << "an unexpected file was written: " << write.target;
    return {};
  }

  void SetUp() override {
    PrepareDrive();
    before_ = Files();
    test_support::StartRecordingRenames();
    const Outcome outcome = RunCommand({});
    writes_ = test_support::StopRecordingRenames();
    ASSERT_TRUE(outcome.shown.empty());
    ASSERT_EQ(Files(), AfterWrites(writes_.size()));
    ASSERT_NE(Files(), before_);
  }

  void TearDown() override { platform::file_system::SetFaultPlan({}); }

  std::map<std::string, std::optional<std::string>> before_;
  std::vector<RenamedFile> writes_;  // of the command without failure
};

TEST_P(WriteCommandFaults, EveryFailureLeavesWholeFilesProtectionAndTheRightMessage) {
  std::set<std::string> messagesSeen;
  unsigned long step = 1;
  for (;; ++step) {
    const Outcome outcome = RunCommand({step, GetParam()});
    if (!outcome.failureReached) break;
    SCOPED_TRACE("failure at operation " + std::to_string(step));
    // Writes put in place before the failing operation.
    size_t done = 0;
    while (done < writes_.size() && writes_[done].operation < step) ++done;

    if (outcome.shown.empty()) {
      // A failure the command may pass over (an attribute, a stale temporary file, a read that
      // falls back to its default) lets it run to its end.
      EXPECT_EQ(Files(), AfterWrites(writes_.size()));
    } else {
      ASSERT_EQ(outcome.shown.size(), 1u);
      EXPECT_EQ(Files(), AfterWrites(done));
      const std::string& message = outcome.shown[0].text;
      if (message == "Fehler") {
        // The host drive could not be read: before writing, nothing is written; in the
        // read-back, everything is.
        EXPECT_TRUE(done == 0 || done == writes_.size()) << done;
      } else {
        EXPECT_EQ(outcome.shown[0].title, "Startgarten");
        EXPECT_EQ(outcome.shown[0].icon, MessageIcon::kStop);
        // The write in progress failed, or the flush of the one just put in place.
        std::set<std::string> expected;
        for (size_t write : {done, done - 1}) {
          if (write < writes_.size()) {
            expected.merge(std::set(kMessagesOfStage.at(FileOf(writes_[write]))));
          }
        }
        EXPECT_TRUE(expected.count(message)) << message;
        messagesSeen.insert(message);
      }
    }
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"WIN.COM", "start.bat"}));
    EXPECT_EQ(BootFileAttributes(), kProtected);
  }
  EXPECT_GT(step, 100u);
  std::cout << "[          ] " << step - 1 << " file operations, each made to fail\n";
  std::set<std::string> allMessages;
  for (const auto& [stage, messages] : kMessagesOfStage) {
    allMessages.insert(messages.begin(), messages.end());
  }
  EXPECT_EQ(messagesSeen, allMessages);
}

// A full disk, a broken disk and a refusal.
INSTANTIATE_TEST_SUITE_P(Errors, WriteCommandFaults, testing::Values(ENOSPC, EIO, EACCES));

}  // namespace
}  // namespace startgarten
