#include "platform/drives/image/image_export.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <filesystem>

#include "platform/drives/image/image_export_command.h"
#include "platform/drives/image/image_messages.h"
#include "platform/windows/error.h"
#include "support/child_processes.h"
#include "support/disk_images.h"
#include "support/error_of.h"
#include "support/runtime_folder.h"
#include "support/temp_drive.h"

// The export of an image of another format through qemu-storage-daemon on its own: what it shows,
// how it fails, that its start and end are bounded in time, and that the next export takes down
// one whose run was killed with its daemon. The write command through exports, with failures and
// kills, is tested in tests/app/image_drive_test.cpp.
namespace startgarten::platform {
namespace {

using namespace test_support;

using namespace std::chrono_literals;

constexpr ContainerFormat kQcow2 = {"qcow2", messages::kImageFormatQcow2};

class ImageExportTest : public testing::Test {
 protected:
  TempDrive scratch_;
  const RuntimeFolder runtime_{scratch_.Base()};
  // A qcow2 image of a floppy, in a folder whose name QEMU would split at its comma.
  const DiskImage image_ = ConvertImage(MakeFloppy((fs::create_directory(scratch_.Base() / "a,b"),
                                                    scratch_.Base() / "a,b" / "fd.img")),
                                        "qcow2");
  const std::vector<ImageLayer> layers_ = {{"qcow2", image_.path, {}}};
};

// For reading and for writing, the export shows the disk itself, writable only for writing, and
// leaves nothing behind. That it takes QEMU's locks for writing only is seen by QEMU itself in
// tests/app/image_drive_test.cpp (QemuRefusesTheImageWhileTheProgramWritesIt).
TEST_F(ImageExportTest, ShowsTheRawDiskAndLeavesNothing) {
  const std::string raw = ReadHostBytes(scratch_.Base() / "a,b" / "fd.img");
  for (const bool writable : {false, true}) {
    SCOPED_TRACE(writable ? "writable" : "read-only");
    {
      const ImageExport exported(layers_, kQcow2, "fd.qcow2", {.writable = writable, .kept = {}});
      const std::string disk = "/proc/self/fd/" + std::to_string(exported.Fd());
      EXPECT_EQ(ReadHostBytes(disk), raw);
      // Writing the first byte again works only through an export for writing.
      const int again = ::open(disk.c_str(), O_RDWR | O_CLOEXEC);
      EXPECT_EQ(again >= 0 && ::pwrite(again, raw.data(), 1, 0) == 1, writable);
      if (again >= 0) ::close(again);
      EXPECT_TRUE(runtime_.Mounted());
    }
    EXPECT_FALSE(runtime_.Mounted());
    EXPECT_EQ(runtime_.ExportsLeft(), std::vector<std::string>{});
  }
}

// Without qemu-storage-daemon the message names its package; a daemon that fails gives what it
// reported; one that never comes up is given up after the timeout and ended; nothing is left.
TEST_F(ImageExportTest, FailuresNameTheCauseAndLeaveNothing) {
  const auto failure = [&](const fs::path& image, const ImageExport::Options& options) {
    return ErrorOf([&] { ImageExport({{"qcow2", image, {}}}, kQcow2, "fd.qcow2", options); });
  };
  EXPECT_EQ(failure(image_.path, {.kept = {}, .daemon = "/nonexistent/qemu-storage-daemon"}),
            FormatMessageText(messages::kImageEngineMissing, {"fd.qcow2", kQcow2.name}));

  const fs::path broken = scratch_.Base() / "broken.qcow2";
  WriteHostBytes(broken, std::string("QFI\xFB\0\0\0\3", 8) + std::string(504, '\0'));
  const std::string reported = failure(broken, {});
  const std::string failed = FormatMessageText(messages::kImageEngineFailed, {"fd.qcow2", ""});
  EXPECT_TRUE(reported.starts_with(failed) && reported.size() > failed.size()) << reported;

  const fs::path hanging = scratch_.Base() / "hanging-daemon";
  WriteHostBytes(hanging, "#!/bin/sh\nexec sleep 600\n");
  fs::permissions(hanging, fs::perms::owner_all);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(failure(image_.path, {.kept = {}, .timeout = 300ms, .daemon = hanging.string()}),
            FormatMessageText(messages::kImageEngineTimedOut, "fd.qcow2"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_EQ(runtime_.ExportsLeft(), std::vector<std::string>{});
}

// A run killed together with its export's daemon leaves the export mounted on a daemon that is
// gone; one killed together with its keeper leaves the daemon running, mounted and holding the
// image's lock. The next export ends that daemon, unmounts the export and removes its folder, and
// leaves a live one alone.
TEST_F(ImageExportTest, TheNextExportTakesDownOneThatAKilledRunLeft) {
  for (const bool daemonKilled : {true, false}) {
    SCOPED_TRACE(daemonKilled ? "daemon killed" : "daemon left");
    const pid_t child = ::fork();
    if (child == 0) {
      const int lock = ::open(image_.path.c_str(), O_RDONLY);
      ::flock(lock, LOCK_EX);
      const ImageExport exported(layers_, kQcow2, "fd.qcow2", {.writable = true, .kept = {lock}});
      // The keeper leads the process group; once the processes killed have ended (the keeper, and
      // the daemon with it when it was killed too), the export's lock is free, or held by the
      // daemon alone.
      const pid_t daemon = exported.Daemon(), keeper = ::getpgid(daemon);
      ::kill(daemonKilled ? -keeper : keeper, SIGKILL);
      const auto ended = [&] {
        return ProcessEnded(keeper) && (!daemonKilled || ProcessEnded(daemon));
      };
      for (int wait = 0; wait < 1000 && !ended(); ++wait) ::usleep(10000);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(runtime_.Mounted());
    ASSERT_EQ(runtime_.ExportsLeft().size(), 1u);
    const pid_t daemon = std::stoi(ReadHostBytes(runtime_.ExportsLeft()[0] + "/pid"));
    {
      const ImageExport live(layers_, kQcow2, "fd.qcow2", {});
      EXPECT_TRUE(ProcessEnded(daemon));
      EXPECT_EQ(runtime_.ExportsLeft().size(), 1u);  // its own
      RemoveStaleImageExports();
      EXPECT_EQ(runtime_.ExportsLeft().size(), 1u);
    }
    EXPECT_FALSE(runtime_.Mounted());
    EXPECT_EQ(runtime_.ExportsLeft(), std::vector<std::string>{});
    const int image = ::open(image_.path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_EQ(::flock(image, LOCK_EX | LOCK_NB), 0);
    ::close(image);
  }
}

// A daemon that does not end when its keeper asks (a QEMU stuck in its end, here a shell that
// ignores the request) is killed: it would hold the image's lock for good.
TEST(ExportKeeperTest, KillsADaemonThatDoesNotEndWhenAsked) {
  const test_support::TempDrive folder;
  const fs::path ready = folder.Base() / "ready";
  ProcessRequest request;
  request.program = "/bin/sh";
  request.arguments = {
      "sh",      "-c", kExportKeeperScript,
      "/bin/sh", "-c", "trap '' TERM; : >'" + ready.string() + "'; while :; do sleep 1; done"};
  int input[2];
  ASSERT_EQ(::pipe2(input, O_CLOEXEC), 0);
  StartedProcess keeper = StartProcess(request, input[0], -1);
  ::close(input[0]);
  while (!fs::exists(ready)) ::usleep(10000);
  ::close(input[1]);  // asks the daemon to end
  std::string daemon(16, '\0');
  daemon.resize(static_cast<size_t>(::read(keeper.output.Get(), daemon.data(), daemon.size())));
  EXPECT_TRUE(AwaitProcess(keeper, std::chrono::steady_clock::now() + std::chrono::minutes(2)));
  EXPECT_TRUE(test_support::ProcessEnded(std::stoi(daemon)));
}

}  // namespace
}  // namespace startgarten::platform
