#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/scripted_command.h"
#include "platform/drives/image/image_messages.h"
#include "platform/files.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "support/bmp_files.h"
#include "support/disk_images.h"
#include "support/file_system_faults.h"
#include "support/image_holders.h"
#include "support/runtime_folder.h"
#include "support/write_command_drive.h"

namespace startgarten {
namespace {

using namespace test_support;
using namespace messages;

const std::string kPicture = BuildBmp({2, 2, 24, std::string(16, '\x40')});
// A drive without a start script, whose first shutdown picture a crash left under its ".BMP"
// name, with a boot file whose short name is in small letters (its case byte, as Windows NT
// writes it), a batch file whose name is not in capitals and a hidden file of a long name.
const std::vector<ImageFile> kFiles = {
    {"msdos.sys",
     CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=C", "[Options]", "BootMenu=0",
           ";PROMPT=0"}),
     "+r +h +s"},
    {"Autoexec.bat", CrLf({"@ECHO OFF", "rem call start.bat"}), ""},
    {"WINDOWS/WIN.COM", "", ""},
    {"WINDOWS/LOGOS.SYS", kPicture, ""},
    {"WINDOWS/logow.BMP", kPicture, ""},
    {"Programme mit langem Namen.txt", "long", "+h"}};
// The files that the program writes or renames.
const char* const kChanged[] = {"msdos.sys", "Autoexec.bat", "WINDOWS/start.bat",
                                "WINDOWS/logow.sys"};

// Drive C as a disk image of each kind, and as a folder with the same files to hold it against.
class ImageDriveTest : public testing::TestWithParam<ImageKind> {
 protected:
  void SetUp() override {
    image = MakeImage(GetParam(), drive.Base());
    PutFiles(image, kFiles);
    for (const auto& file : kFiles) drive.Write(file.path, file.bytes);
    drive.Protect("msdos.sys");
  }
  ~ImageDriveTest() override { SetFaultPlan({}); }

  // What the write command showed: its boxes, the window's state once it has read the file back,
  // and whether the operation that the plan makes fail was reached.
  struct Written {
    std::vector<std::string> boxes;
    OptionState readBack;
    bool failureReached = false;
    bool operator==(const Written&) const = default;
  };

  // Starts the program, switches the DOS prompt option and writes, with the operation of the plan
  // made to fail.
  Written SwitchAndWrite(FaultPlan plan = {}) {
    boxes.shown.clear();
    TForm1 window(boxes, "Startgarten");
    window.HandleEvent([&] { window.FormCreate(); });
    window.Options().dosPromptAfterExit.UserClick();
    SetFaultPlan(plan);
    window.HandleEvent([&] { window.StartDateischreiben1Click(); });
    const bool reached = plan.failAt && OperationsPerformed() >= plan.failAt;
    SetFaultPlan({});
    return {boxes.Texts(), StateOf(window.Options()), reached};
  }

  // The changed files' bytes and attributes, and the names in the root and in WINDOWS, without
  // regard to case there (mtools chooses the case of a new name): on the image, read with mtools,
  // or on the folder, which must be drive C then.
  std::string ImageState() const {
    std::string state;
    for (const char* file : kChanged)
      state += ReadFileBytes(image, file) + " " + FileAttributes(image, file) + "\n";
    return state + Names(DirectoryNames(image, ""), DirectoryNames(image, "WINDOWS"));
  }
  std::string FolderState() const {
    std::string state;
    for (std::string file : kChanged) {
      state += drive.Read(file).value_or("missing") + " ";
      std::replace(file.begin(), file.end(), '/', '\\');
      const uint32_t attributes = platform::GetFileAttributes("C:\\" + file);
      // Its attributes' letters as mattrib shows them, from the highest bit down.
      for (int bit = 5; bit >= 0; --bit) {
        if ((attributes >> bit) & 1) state += "RHSVDA"[bit];
      }
      state += "\n";
    }
    return state + Names(drive.Entries(), drive.Entries("WINDOWS"));
  }
  static std::string Names(const auto& root, const auto& windows) {
    std::set<std::string> names(root.begin(), root.end());
    for (std::string name : windows) {
      std::transform(name.begin(), name.end(), name.begin(), ::toupper);
      names.insert("WINDOWS\\" + name);
    }
    return testing::PrintToString(names);
  }

  TempDrive drive;
  DiskImage image;
  RecordingMessageBoxes boxes;
  const RuntimeFolder runtime{drive.Base()};
};

// The write command, switching the option on and off again, leaves on the image exactly the
// bytes, attributes and names it leaves on the folder, and nothing else, and reads back what it
// wrote; long names are kept, and the volume stays clean.
TEST_P(ImageDriveTest, WriteCommandLeavesWhatItLeavesOnAFolder) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    drive.LinkDrive('c', drive.Root());
    const Written onFolder = SwitchAndWrite();
    ASSERT_EQ(onFolder.boxes.size(), 1u);  // the question only
    const std::string folderState = FolderState();
    drive.LinkDrive('c', image.path);
    EXPECT_EQ(SwitchAndWrite(), onFolder);
    EXPECT_EQ(ImageState(), folderState);
    EXPECT_EQ(FsckProblems(image), "");
  }
  const char* const longName = "Programme mit langem Namen.txt";
  EXPECT_EQ(ReadFileBytes(image, longName) + " " + FileAttributes(image, longName) + " " +
                DirectoryEntryNames(image, "msdos.sys"),
            "long AH msdos    sys|");
  EXPECT_EQ(runtime.ExportsLeft(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(EachKind, ImageDriveTest, testing::ValuesIn(kImageKinds),
                         ImageKindName<testing::TestParamInfo<ImageKind>>);

// On a raw image and on a qcow2 image, which the program writes in different ways: failures,
// kills, and other processes that hold the image.
using ImageDriveAtRisk = ImageDriveTest;

// A failure at each operation of the write command in turn, the start of each program of mtools
// included, and a disk that fails for good from each operation on: once the next start has run,
// the image's files are all as before, with a message, or all as after; the volume stays clean.
TEST_P(ImageDriveAtRisk, EveryFailureLeavesAllFilesAsBeforeOrAllAsAfter) {
  drive.LinkDrive('c', image.path);
  StartProgram(boxes);
  const std::string prepared = ReadHostBytes(image.path);
  const std::string before = ImageState();
  SwitchAndWrite();
  const std::string after = ImageState();
  ASSERT_NE(before, after);
  for (const unsigned long failing : {1UL, ULONG_MAX}) {
    int failures = 0;
    for (unsigned long step = 1;; ++step) {
      WriteHostBytes(image.path, prepared);
      const auto [shown, readBack, reached] =
          SwitchAndWrite({step, step % 2 ? EIO : ENOSPC, failing});
      if (!reached) break;
      SCOPED_TRACE("failure at operation " + std::to_string(step) + " of " +
                   std::to_string(failing));
      StartProgram(boxes);  // which completes or cleans up what the failure left
      const std::string now = ImageState();
      ASSERT_TRUE(now == before || now == after) << now;
      if (now == before) {
        ++failures;
        EXPECT_GT(shown.size(), 1u);
      }
      EXPECT_EQ(FsckProblems(image), "");
      EXPECT_EQ(runtime.ExportsLeft(), std::vector<std::string>{});
    }
    EXPECT_GT(failures, 10);
    std::cout << "[          ] " << failures << " of the failures left the image as it was\n";
  }
}

// Killed while it writes again and again, at random moments and at each file operation and start
// of a program of mtools in turn, the program leaves the image's files together as a write leaves
// them once the next start has run: all old or all new, each whole, with its attributes, nothing
// beside them, and the volume clean (a program of mtools that it started finishes first, holding
// the image's lock).
TEST_P(ImageDriveAtRisk, KilledWritesLeaveAllOldOrAllNewAndACleanVolume) {
  drive.LinkDrive('c', image.path);
  StartProgram(boxes);
  std::set<std::string> states = {ImageState()};
  for (int i = 0; i < 2; ++i) states.insert((SwitchAndWrite(), ImageState()));
  ASSERT_EQ(states.size(), 3u);
  // Waits until the processes that a killed child started, which hold the lock, have ended.
  const auto awaitLock = [](const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ::flock(fd, LOCK_EX);
    ::close(fd);
  };
  const auto judge = [&] {
    awaitLock(image.path);  // the programs of mtools
    StartProgram(boxes);
    EXPECT_EQ(states.count(ImageState()), 1u) << ImageState();
    EXPECT_EQ(FsckProblems(image), "");
  };
  std::mt19937 random(12);
  // Kills within about one write command; fewer on qcow2, whose commands take longer.
  const bool raw = GetParam() == ImageKind::kFloppy;
  for (int kill = 0; kill < (raw ? 200 : 40); ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    KillWhileRunning(random, raw ? 150000 : 500000, [this] {
      for (;;) SwitchAndWrite();
    });
    judge();
  }
  for (unsigned long step = 1;; ++step) {
    SCOPED_TRACE("killed at operation " + std::to_string(step));
    if (!KilledAtOperation(step, [this](FaultPlan plan) { SwitchAndWrite(plan); })) break;
    judge();
  }
  // The exports of the killed runs end with the programs they served; the next start removes
  // their folders.
  for (const std::string& folder : runtime.ExportsLeft()) awaitLock(folder);
  StartProgram(boxes);
  EXPECT_EQ(runtime.ExportsLeft(), std::vector<std::string>{});
}

// An image that another process holds, open for writing or locked by a paused QEMU: a box at
// start says that what is shown may be stale, "OK" is refused with a message that names the
// program and its process id, and the image stays as it was to the byte.
TEST_P(ImageDriveAtRisk, AnImageThatAnotherProcessHoldsIsNeverWritten) {
  drive.LinkDrive('c', image.path);
  StartProgram(boxes);  // which gives the picture its name back
  const std::string name = fs::canonical(image.path).string();
  using Hold = ImageHolder (*)(const DiskImage&);
  for (const auto& [program, hold] : {std::pair<std::string, Hold>{"sleep", ImageHolder::Writer},
                                      {"qemu-system-x86_64", ImageHolder::PausedQemu}}) {
    SCOPED_TRACE(program);
    const std::string bytes = ReadHostBytes(image.path);
    const ImageHolder held = hold(image);
    const std::string pid = std::to_string(held.Pid());
    // The notice, the question, the refusal.
    EXPECT_EQ(SwitchAndWrite().boxes,
              (std::vector<std::string>{
                  FormatMessageText(kImageInUseAtStart, {name, program, pid}) + ".",
                  kConfirmRewrite, FormatMessageText(kImageInUse, {name, program, pid}) + "."}));
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::kWarning);
    EXPECT_TRUE(ReadHostBytes(image.path) == bytes);
  }
  EXPECT_EQ(runtime.ExportsLeft(), std::vector<std::string>{});
}

// The other way round: a QEMU that starts while the program writes the image refuses it, as it
// finds QEMU's locks on it; once the command is done, QEMU takes the image.
TEST_P(ImageDriveAtRisk, QemuRefusesTheImageWhileTheProgramWritesIt) {
  drive.LinkDrive('c', image.path);
  std::string refusal = "QEMU not started";
  SetSpawnHook([&](const std::vector<std::string>& arguments) {
    if (arguments[0] == "mcopy" && refusal == "QEMU not started") refusal = QemuRefusal(image);
  });
  const Written written = SwitchAndWrite();
  SetSpawnHook({});
  EXPECT_EQ(written.boxes.size(), 1u);  // the question only: written
  EXPECT_NE(refusal.find("Failed to get \"write\" lock"), std::string::npos) << refusal;
  EXPECT_EQ(QemuRefusal(image), "");
}

INSTANTIATE_TEST_SUITE_P(RawAndQcow2, ImageDriveAtRisk,
                         testing::Values(ImageKind::kFloppy, ImageKind::kQcow2),
                         ImageKindName<testing::TestParamInfo<ImageKind>>);

// An image is exactly the files the user chose. A stranger's image (in the folder dl) that names
// other files, each shape a row: the user's image in another folder (an extent, a data file, one
// reached through a link), a protocol's address (to a listener of the test's own), a file that is
// no disk image, a device that is no file, a chain that loops. It is refused with a message that
// names the file and the reason, and every file around it stays as it was; no connection is made.
// Images made as emulators' users make them work as before, and leave the image they build on
// as it was.
TEST(ImageFiles, AnImageIsExactlyTheFilesTheUserChose) {
  TempDrive drive;
  const RuntimeFolder runtime{drive.Base()};
  const fs::path dl = drive.MapDrive('d'), elsewhere = drive.MapDrive('e');
  const DiskImage victim = MakeFloppy(elsewhere / "victim.img");
  PutFiles(victim, kFiles);
  const std::string victimPath = victim.path.string();
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in address = {
      .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 8), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string nbd = "nbd://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x";
  const std::string json = R"(json:{"driver":"nbd","server":{"type":"inet","host":"127.0.0.1",)"
                           R"("port":")" +
                           std::to_string(ntohs(address.sin_port)) + R"("}})";

  // A descriptor of a flat VMDK of the floppy's size, longer than a sector, with these lines after
  // its extent.
  const auto vmdk = [&](const std::string& name, const std::string& extent,
                        const std::string& more = "") {
    WriteHostBytes(dl / name,
                   "# Disk DescriptorFile\nversion=1\nCID=fffffffe\n"
                   "parentCID=ffffffff\ncreateType=\"monolithicFlat\"\n"
                   "RW 2880 FLAT \"" +
                       extent + "\" 0\n" + more + "# " + std::string(600, '-') + "\n");
  };
  // A qcow2 image of the floppy's size, made with these options of qemu-img.
  const auto qcow2 = [&](const std::string& name, const auto&... options) {
    QemuImg({"create", "-q", "-f", "qcow2", "-u", std::string(options)..., (dl / name).string(),
             "1440K"});
  };
  // The victim converted with qemu-img into the user's own VMDK of this subformat.
  const auto ownVmdk = [&](const std::string& subformat) {
    QemuImg({"convert", "-O", "vmdk", "-o", "subformat=" + subformat, victimPath,
             (dl / "own.vmdk").string()});
  };
  const auto refused = [&](const std::string& referrer, const std::string& name,
                           const char* reason) {
    return "startgarten: " +
           FormatMessageText(kImageReferenceRefused, {(dl / referrer).string(), name, reason});
  };
  const struct {
    const char* name;
    std::function<void()> build;
    const char* image;
    const char* command;
    std::string refusal;  // empty: the command succeeds
  } rows[] = {
      {"ExtentByAbsolutePath", [&] { vmdk("evil.vmdk", victimPath); }, "evil.vmdk", "--set",
       refused("evil.vmdk", victimPath, kImageReferenceOutside)},
      {"ExtentByRelativePath", [&] { vmdk("evil.vmdk", "../drive_e/victim.img"); }, "evil.vmdk",
       "--set", refused("evil.vmdk", "../drive_e/victim.img", kImageReferenceOutside)},
      {"ExtentThroughLink",
       [&] {
         fs::create_symlink(victim.path, dl / "evil-flat.vmdk");
         vmdk("evil.vmdk", "evil-flat.vmdk");
       },
       "evil.vmdk", "--set", refused("evil.vmdk", "evil-flat.vmdk", kImageReferenceOutside)},
      {"ExtentFifo",
       [&] {
         ::mkfifo((dl / "evil-flat.vmdk").c_str(), 0600);
         vmdk("evil.vmdk", "evil-flat.vmdk");
       },
       "evil.vmdk", "--show", refused("evil.vmdk", "evil-flat.vmdk", kImageReferenceNotRegular)},
      {"VmdkParentAtAnAddress",
       [&] {
         WriteHostBytes(dl / "own-flat.vmdk", "");
         vmdk("evil.vmdk", "own-flat.vmdk", "parentFileNameHint=\"" + nbd + "\"\n");
       },
       "evil.vmdk", "--show", refused("evil.vmdk", nbd, kImageReferenceNotLocal)},
      {"DataFileElsewhere",
       [&] {
         qcow2("evil.qcow2", "-o", "data_file=" + (dl / "own.raw").string() + ",data_file_raw=on");
         QemuImg({"amend", "-q", "-f", "qcow2", "-o", "data_file=" + victimPath,
                  (dl / "evil.qcow2").string()});
       },
       "evil.qcow2", "--set", refused("evil.qcow2", victimPath, kImageReferenceOutside)},
      {"BackingAtAnAddress", [&] { qcow2("evil.qcow2", "-b", nbd, "-F", "raw"); }, "evil.qcow2",
       "--show", refused("evil.qcow2", nbd, kImageReferenceNotLocal)},
      {"BackingInJson", [&] { qcow2("evil.qcow2", "-b", json, "-F", "raw"); }, "evil.qcow2",
       "--show", refused("evil.qcow2", json, kImageReferenceNotLocal)},
      {"BackingNoDiskImage", [&] { qcow2("evil.qcow2", "-b", "/etc/passwd", "-F", "raw"); },
       "evil.qcow2", "--show", refused("evil.qcow2", "/etc/passwd", kImageReferenceNoDiskImage)},
      {"BackingLoop",
       [&] {
         qcow2("a.qcow2", "-b", "b.qcow2", "-F", "qcow2");
         qcow2("b.qcow2", "-b", "a.qcow2", "-F", "qcow2");
       },
       "a.qcow2", "--show", refused("b.qcow2", "a.qcow2", kImageReferenceTwice)},
      {"OverlayOnBaseByAbsolutePath", [&] { qcow2("own.qcow2", "-b", victimPath, "-F", "raw"); },
       "own.qcow2", "--set", ""},
      {"VmdkSplitIntoExtents", [&] { ownVmdk("twoGbMaxExtentFlat"); }, "own.vmdk", "--set", ""},
      {"VmdkDescriptorOfMoreThanASector",
       [&] {
         ownVmdk("monolithicFlat");
         vmdk("own.vmdk", "own-flat.vmdk");
       },
       "own.vmdk", "--set", ""},
      // QEMU cannot change what such an image stores already: the command ends before any change.
      {"VmdkStreamOptimized", [&] { ownVmdk("streamOptimized"); }, "own.vmdk", "--set",
       "startgarten: " +
           FormatMessageText(messages::kImageStreamOptimized, (dl / "own.vmdk").string())},
  };
  const auto run = [](const std::vector<std::string>& arguments) {
    return RunScriptedCommand(ParseCommandLine(arguments).script, "Startgarten");
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(dl);
    fs::create_directories(dl);
    row.build();
    const std::string dlBefore = drive.Snapshot('d'), elsewhereBefore = drive.Snapshot('e');
    drive.LinkDrive('c', dl / row.image);
    const ScriptedOutcome outcome =
        row.command == std::string("--set") ? run({"--set", "Logo=0"}) : run({"--show"});
    EXPECT_EQ(outcome.errors, row.refusal.empty() ? "" : row.refusal + ".\n");
    EXPECT_EQ(outcome.exitStatus != 0, !row.refusal.empty());
    EXPECT_EQ(drive.Snapshot('e'), elsewhereBefore);
    if (row.refusal.empty()) {
      EXPECT_NE(run({"--show"}).output.find("Logo=0\n"), std::string::npos);
    } else {
      EXPECT_EQ(drive.Snapshot('d'), dlBefore);
    }
    EXPECT_EQ(::accept(listener, nullptr, nullptr), -1);
  }
  ::close(listener);
  EXPECT_EQ(runtime.ExportsLeft(), std::vector<std::string>{});
}

}  // namespace
}  // namespace startgarten
