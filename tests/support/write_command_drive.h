#pragma once

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "app/form1.h"
#include "support/boot_drive_fixture.h"
#include "support/child_processes.h"
#include "support/drive_homes.h"
#include "support/file_system_faults.h"

// What the tests of the write command under failures and kills share: a folder drive on which it
// changes all three of its files, and (child_processes.h) killing at random moments or at a file
// operation.
namespace startgarten::test_support {

// A start of the program: it completes an interrupted command, removes what one left and gives a
// picture that an earlier version renamed its name back.
inline void StartProgram(MessageBoxService& boxes) {
  TForm1 window(boxes, "Startgarten");
  window.HandleEvent([&] { window.FormCreate(); });
}

// The FAT attribute byte of a file on a FAT mount; 0 elsewhere.
inline uint32_t FatAttributes(const std::filesystem::path& path) {
  uint32_t attributes = 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0 && IsOn(path, MSDOS_SUPER_MAGIC)) ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &attributes);
  if (fd >= 0) ::close(fd);
  return attributes;
}

// A drive, in the home of the test's parameter, on which the write command changes all three of
// its files: the DOS prompt option is switched on, so the batch file gets its call and the marker
// changes, besides the option keys. The batch file carries attributes of its own that a rewrite
// must keep.
class WriteCommandDrive : public BootDriveTest, public testing::WithParamInterface<DriveHome> {
 protected:
  WriteCommandDrive() : BootDriveTest(DrivesFolder(GetParam())) {}
  ~WriteCommandDrive() override { SetFaultPlan({}); }

  void SetUp() override {
    std::string whyNot;
    DrivesFolder(GetParam(), &whyNot);
    if (!whyNot.empty()) GTEST_SKIP() << whyNot;
    SetFaultPlan(GetParam().Model());
  }

  // The three files: each one's bytes (none when missing), and in one text their permission bits,
  // extended attributes, DOS attributes and, on a FAT mount, directory entries' attribute bytes.
  struct Files {
    std::map<std::string, std::optional<std::string>> bytes;
    std::string metadata;
    bool operator==(const Files&) const = default;
  };

  static constexpr const char* kBootFile = "MSDOS.SYS";
  static constexpr const char* kBatchFile = "AUTOEXEC.BAT";
  static constexpr const char* kStartScript = "WINDOWS/start.bat";

  // The three files as before the command, on this test's drive or on another.
  void Prepare() { Prepare(drive); }
  static void Prepare(const TempDrive& on) {
    test_support::WriteBootFile(on, {"BootMenu=0", "BootMenuDelay=30", ";PROMPT=0", ";x"});
    on.Write(kBatchFile, CrLf({"@ECHO OFF", "rem call start.bat"}));
    const std::filesystem::path batch = on.Host(kBatchFile);
    ::setxattr(batch.c_str(), "user.comment", "keep me", 7, 0);
    std::error_code unsupported;  // FAT keeps no such permissions
    std::filesystem::permissions(batch, std::filesystem::perms(0640), unsupported);
    on.Write(kStartScript, CrLf({"@echo off", "old"}));
  }

  // The changes the command writes: boot menu on for 5 seconds.
  static void ChangeOptions(TForm1& window) {
    window.Options().bootMenu.UserClick();
    window.Options().bootMenuDelay.UserSetText("5");
  }

  // Runs the write command with these changes, the home's missing calls and plan's failures, and
  // returns the boxes shown after the question; operations then holds the number of file
  // operations it attempted.
  std::vector<std::string> Write(FaultPlan plan = {}) {
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    ChangeOptions(window);
    SetFaultPlan(GetParam().Model(plan));
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    operations = OperationsPerformed();
    SetFaultPlan(GetParam().Model());
    std::vector<std::string> texts = boxes.Texts();
    texts.erase(texts.begin());  // the question
    return texts;
  }

  Files Now() const { return Now(drive); }
  static Files Now(const TempDrive& on) {
    Files files;
    for (const char* name : {kBootFile, kBatchFile, kStartScript}) {
      const std::filesystem::path path = on.Host(name);
      files.bytes[name] = on.Read(name);
      files.metadata += std::to_string(int(std::filesystem::status(path).permissions())) + " " +
                        testing::PrintToString(ExtendedAttributes(path)) + " " +
                        std::to_string(platform::GetFileAttributes(std::string("C:\\") + name)) +
                        " " + std::to_string(FatAttributes(path)) + "\n";
    }
    return files;
  }

  unsigned long operations = 0;

  // Nothing but the drive's own files: no temporary file, no record.
  void ExpectNothingBeside() const {
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "MSDOS.SYS", "WINDOWS"}));
    const std::set<std::string> windows = drive.Entries("WINDOWS");
    EXPECT_TRUE(windows == (std::set<std::string>{"WIN.COM", "start.bat"}) ||
                windows == (std::set<std::string>{"WIN.COM", "START.BAT"}));
  }

 private:
  // Where the home keeps its drives; empty, and why in whyNot, where this machine has none.
  static std::filesystem::path DrivesFolder(const DriveHome& home, std::string* whyNot = nullptr) {
    if (home.where == DriveHome::Where::kFuse) return SharedFuseFolder(whyNot);
    if (home.where == DriveHome::Where::kMount) return std::getenv("STARTGARTEN_TEST_MOUNT");
    return {};
  }
};

}  // namespace startgarten::test_support
