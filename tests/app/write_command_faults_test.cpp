#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "platform/file_system.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

// Every file the program writes is put in place by one rename. Linked with
// -Wl,--wrap=renameat2, the test sees each of them with the number of its file operation and the
// bytes it holds: the successive versions of each file, in the order they were written.
struct Written {
  unsigned long operation;
  std::string file;
  std::string bytes;
};
bool recording = false;
std::vector<Written> recorded;

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
// operation in turn (a full disk, a broken disk and a refusal in rotation) until the command runs
// to its end without reaching it. After each run every file the command writes holds exactly its
// version after some whole number of the command's writes (each key of the boot file is written
// by a replacement of its own), no temporary file is left, the boot file is protected again and
// the message of the stage that failed was shown.
class WriteCommandFaults : public test_support::BootDriveTest {
 protected:
  using Files = std::map<std::string, std::optional<std::string>>;

  // The drive as the command finds it: the DOS prompt option is switched on in the window, so
  // the batch file gets its call and the marker changes, besides all option keys.
  void Prepare() {
    WriteBootFile({"BootMenu=0", "BootMenuDelay=30", ";PROMPT=0", ";xxxxxxxxxxxxxxxxxxxxxxxxxx"});
    drive.Write(kBatchFile, CrLf({"@ECHO OFF", "rem call start.bat"}));
    drive.Write(kStartScript, CrLf({"@echo off", "old"}));
  }

  // The boxes shown after the question, and whether the failure was reached.
  std::pair<std::vector<RecordingMessageBoxes::Shown>, bool> Run(
      platform::file_system::FaultPlan plan) {
    Prepare();
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    window.CheckBox1.UserClick();
    window.SpinEdit1.UserSetText("5");
    platform::file_system::SetFaultPlan(plan);
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    const bool reached = plan.failAt && platform::file_system::OperationsPerformed() >= plan.failAt;
    platform::file_system::SetFaultPlan({});
    EXPECT_EQ(boxes.shown.at(0).text, "Wollen Sie die Start-Datei umschreiben?");
    return {{boxes.shown.begin() + 1, boxes.shown.end()}, reached};
  }

  Files Now() const {
    Files files;
    for (const char* file : {kBootFile, kBatchFile, kStartScript}) files[file] = drive.Read(file);
    return files;
  }

  ~WriteCommandFaults() override { platform::file_system::SetFaultPlan({}); }
};

TEST_F(WriteCommandFaults, EveryFailureLeavesWholeFilesProtectionAndTheRightMessage) {
  Prepare();
  const Files before = Now();
  recording = true;
  ASSERT_TRUE(Run({}).first.empty());
  recording = false;
  const std::vector<Written> writes = std::move(recorded);
  const auto afterWrites = [&](size_t count) {
    Files files = before;
    for (size_t i = 0; i < count; ++i) files[writes[i].file] = writes[i].bytes;
    return files;
  };
  for (const Written& write : writes) {
    ASSERT_TRUE(before.count(write.file)) << "an unexpected file was written: " << write.file;
  }
  ASSERT_EQ(Now(), afterWrites(writes.size()));
  ASSERT_NE(Now(), before);

  const int errors[] = {ENOSPC, EIO, EACCES};
  std::set<std::string> messagesSeen;
  unsigned long step = 1;
  for (;; ++step) {
    const auto [shown, reached] = Run({step, errors[step % 3]});
    if (!reached) break;
    SCOPED_TRACE("failure at operation " + std::to_string(step));
    size_t done = 0;  // writes put in place before the failing operation
    while (done < writes.size() && writes[done].operation < step) ++done;

    ASSERT_LE(shown.size(), 1u);
    if (shown.empty()) {
      // A failure the command may pass over (an attribute, a stale temporary file, a read that
      // falls back to its default) lets it run to its end.
      EXPECT_EQ(Now(), afterWrites(writes.size()));
    } else if (shown[0].text == "Fehler") {
      // The host drive could not be read: before writing, nothing is written; in the read-back,
      // everything is.
      EXPECT_TRUE(Now() == before || Now() == afterWrites(writes.size())) << done;
    } else {
      EXPECT_EQ(Now(), afterWrites(done));
      EXPECT_EQ(shown[0].title, "Startgarten");
      EXPECT_EQ(shown[0].icon, MessageIcon::kStop);
      // The write in progress failed, or the flush of the one just put in place.
      std::set<std::string> expected;
      for (size_t write : {done, done - 1}) {
        if (write < writes.size())
          expected.merge(std::set(kMessagesOfStage.at(writes[write].file)));
      }
      EXPECT_TRUE(expected.count(shown[0].text)) << shown[0].text;
      messagesSeen.insert(shown[0].text);
    }
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(drive.Entries("WINDOWS"), (std::set<std::string>{"WIN.COM", "start.bat"}));
    EXPECT_EQ(BootFileAttributes(), kProtected);
  }
  EXPECT_GT(step, 100u);
  std::cout << "[          ] " << step - 1 << " file operations, each made to fail\n";
  EXPECT_EQ(messagesSeen.size(), 5u);  // every message of every stage
}

}  // namespace
}  // namespace startgarten

extern "C" int __real_renameat2(int fromDirectory, const char* from, int toDirectory,
                                const char* to, unsigned flags);

extern "C" int __wrap_renameat2(int fromDirectory, const char* from, int toDirectory,
                                const char* to, unsigned flags) {
  using namespace startgarten;
  const int result = __real_renameat2(fromDirectory, from, toDirectory, to, flags);
  if (result == 0 && recording) {
    const int error = errno;
    std::string file = to;  // relative to drive C's root
    if (const size_t at = file.find("/dosdevices/c:/"); at != file.npos) file.erase(0, at + 15);
    std::ifstream in(to, std::ios::binary);
    recorded.push_back({platform::file_system::OperationsPerformed(), file,
                        std::string(std::istreambuf_iterator<char>(in), {})});
    errno = error;
  }
  return result;
}
