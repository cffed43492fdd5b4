#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "platform/files.h"
#include "support/bmp_files.h"
#include "support/boot_drive_fixture.h"
#include "support/disk_images.h"
#include "support/file_system_faults.h"

namespace startgarten {
namespace {

namespace fs = std::filesystem;
using test_support::CrLf;
using test_support::ImageKind;

const std::string kPicture = test_support::BuildBmp({2, 2, 24, std::string(16, '\x40')});
const std::vector<test_support::ImageFile> kFiles = {
    {"MSDOS.SYS", CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=C", "[Options]",
                        "BootMenu=0", ";PROMPT=0"}),
     "+r +h +s"},
    {"AUTOEXEC.BAT", CrLf({"@ECHO OFF", "rem call start.bat"}), ""},
    {"WINDOWS/WIN.COM", "", ""},
    {"WINDOWS/LOGOS.SYS", kPicture, ""},
    {"WINDOWS/LOGOW.SYS", kPicture, ""},
    {"WINDOWS/start.bat", "old\r\n", ""},
    {"Programme mit langem Namen.txt", "long", "+h"}};
const char* const kWritten[] = {"MSDOS.SYS", "AUTOEXEC.BAT", "WINDOWS/start.bat"};

// The attributes as "mattrib -X" shows them.
std::string Letters(uint32_t attributes) {
  std::string letters;
  for (const auto& [bit, letter] : {std::pair{platform::kAttributeArchive, 'A'},
                                    {platform::kAttributeSystem, 'S'},
                                    {platform::kAttributeHidden, 'H'},
                                    {platform::kAttributeReadOnly, 'R'}}) {
    if (attributes & bit) letters += letter;
  }
  return letters;
}

// Drive C as a disk image of each kind, and as a folder with the same files to hold it against.
class ImageDriveTest : public testing::TestWithParam<ImageKind> {
 protected:
  void SetUp() override {
    image = test_support::MakeImage(GetParam(), drive.Base());
    test_support::PutFiles(image, kFiles);
    for (const auto& file : kFiles) drive.Write(file.path, file.bytes);
    drive.Protect("MSDOS.SYS");
  }

  void UseAsDriveC(const fs::path& target) {
    const fs::path link = drive.Prefix() / "dosdevices" / "c:";
    fs::remove(link);
    fs::create_symlink(target, link);
  }

  // Starts the program, switches the DOS prompt option and writes; the boxes shown.
  std::vector<std::string> SwitchAndWrite() {
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    window.HandleEvent([&] { window.FormCreate(); });
    window.CheckBox12.UserClick();
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    return boxes.Texts();
  }

  // The written files of the image, with their attributes, read with mtools.
  std::string ImageFiles() const {
    std::string files;
    for (const char* file : kWritten) {
      files += test_support::ReadFileBytes(image, file) + test_support::FileAttributes(image, file);
    }
    return files;
  }

  test_support::TempDrive drive;
  test_support::DiskImage image;
  RecordingMessageBoxes boxes;
};

// The write command, switching the option on and off again, leaves on the image exactly the
// bytes and attributes it leaves on the folder, keeps long names, and the volume stays clean.
TEST_P(ImageDriveTest, WriteCommandLeavesWhatItLeavesOnAFolder) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    UseAsDriveC(drive.Root());
    ASSERT_EQ(SwitchAndWrite().size(), 1u);  // the question only
    UseAsDriveC(image.path);
    ASSERT_EQ(SwitchAndWrite().size(), 1u);
    EXPECT_EQ(test_support::FsckProblems(image), "");
    for (const char* file : kWritten) {
      EXPECT_EQ(test_support::ReadFileBytes(image, file), drive.Read(file)) << file;
      UseAsDriveC(drive.Root());
      std::string dosPath = std::string("C:\\") + file;
      std::replace(dosPath.begin(), dosPath.end(), '/', '\\');
      const uint32_t attributes = platform::GetFileAttributes(dosPath);
      UseAsDriveC(image.path);
      EXPECT_EQ(test_support::FileAttributes(image, file), Letters(attributes)) << file;
    }
  }
  EXPECT_EQ(test_support::ReadFileBytes(image, "Programme mit langem Namen.txt"), "long");
  EXPECT_EQ(test_support::FileAttributes(image, "Programme mit langem Namen.txt"), "AH");
}

INSTANTIATE_TEST_SUITE_P(EachKind, ImageDriveTest, testing::ValuesIn(test_support::kImageKinds),
                         test_support::ImageKindName<testing::TestParamInfo<ImageKind>>);

class ImageDriveFaults : public ImageDriveTest {
 protected:
  ~ImageDriveFaults() override { test_support::SetFaultPlan({}); }
};

// A failure at each operation of the write command in turn, the start of each program of mtools
// included: the image's files are all as before or all as after, and the volume stays clean.
TEST_P(ImageDriveFaults, EveryFailureLeavesAllFilesAsBeforeOrAllAsAfter) {
  UseAsDriveC(image.path);
  const std::string prepared = test_support::ReadHostBytes(image.path);
  const std::string before = ImageFiles();
  SwitchAndWrite();
  const std::string after = ImageFiles();
  ASSERT_NE(before, after);
  int failures = 0;
  for (unsigned long step = 1;; ++step) {
    test_support::WriteHostBytes(image.path, prepared);
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    window.HandleEvent([&] { window.FormCreate(); });
    window.CheckBox12.UserClick();
    test_support::SetFaultPlan({step, step % 2 ? EIO : ENOSPC});
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    const bool reached = test_support::OperationsPerformed() >= step;
    test_support::SetFaultPlan({});
    if (!reached) break;
    SCOPED_TRACE("failure at operation " + std::to_string(step));
    const std::string now = ImageFiles();
    ASSERT_TRUE(now == before || now == after) << now << "\n--- before\n" << before << "\n--- after\n" << after << "\n" << testing::PrintToString(boxes.Texts());
    if (now == before) {
      ++failures;
      EXPECT_GT(boxes.shown.size(), 1u);
    }
    EXPECT_EQ(test_support::FsckProblems(image), "");
  }
  EXPECT_GT(failures, 10);
  std::cout << "[          ] " << failures << " of the failures left the image as it was\n";
}

INSTANTIATE_TEST_SUITE_P(Floppy, ImageDriveFaults, testing::Values(ImageKind::kFloppy),
                         test_support::ImageKindName<testing::TestParamInfo<ImageKind>>);

// Killed at random moments while it writes again and again, the program leaves every file of the
// image whole, with its attributes, and the volume clean; a program of mtools that it started
// finishes first, holding the image's lock.
TEST_P(ImageDriveFaults, KilledWritesLeaveWholeFilesAndACleanVolume) {
  UseAsDriveC(image.path);
  std::set<std::string> versions = {ImageFiles()};
  for (int i = 0; i < 2; ++i) {
    SwitchAndWrite();
    versions.insert(ImageFiles());
  }
  std::mt19937 random(12);
  for (int kill = 0; kill < 40; ++kill) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
      for (;;) SwitchAndWrite();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 150));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const int fd = ::open(image.path.c_str(), O_RDONLY | O_CLOEXEC);
    ::flock(fd, LOCK_EX);
    SCOPED_TRACE("kill " + std::to_string(kill));
    std::string files;
    for (const char* file : kWritten) {
      const std::string bytes = test_support::ReadFileBytes(image, file);
      EXPECT_NE(bytes, "missing") << file;
      files += bytes;
    }
    EXPECT_EQ(test_support::FileAttributes(image, "MSDOS.SYS"), "ASHR");
    EXPECT_EQ(test_support::FsckProblems(image), "");
    ::close(fd);
  }
}

// A file that holds no FAT volume, linked as drive C: one box names it and what it holds, and the
// file stays as it was, also after "OK".
TEST(ImageDrive, AnImageWithoutAVolumeIsNamedAndLeftAlone) {
  test_support::TempDrive drive;
  const fs::path file = drive.Base() / "win95.qcow2";
  test_support::WriteHostBytes(file, std::string("QFI\xFB\0\0\0\3", 8) + std::string(4096, '\0'));
  const fs::path link = drive.Prefix() / "dosdevices" / "c:";
  fs::remove(link);
  fs::create_symlink(file, link);
  RecordingMessageBoxes boxes;
  TForm1 window(boxes, "Startgarten");
  window.HandleEvent([&] { window.FormCreate(); });
  window.HandleEvent([&] { window.StartDateischreiben1Click(); });
  ASSERT_GE(boxes.shown.size(), 1u);
  EXPECT_NE(boxes.shown[0].text.find("win95.qcow2"), std::string::npos) << boxes.shown[0].text;
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kStop);
  EXPECT_EQ(test_support::ReadHostBytes(file).size(), 4104u);
}

}  // namespace
}  // namespace startgarten
