// A name in an image's header that leads into a folder of the automounter (/net/HOST/...) is
// refused before the kernel asks the automounter for it; only the way to the image itself, which
// is mounted already, may pass such a folder. The automounter here is the test: it mounts autofs
// on a pipe and answers every request with a failure, after noting it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/auto_fs.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/drives/image/disk_image_layout.h"
#include "platform/drives/image/image_files.h"
#include "platform/drives/image/image_messages.h"
#include "platform/system/local_path.h"
#include "platform/windows/error.h"
#include "support/child_processes.h"
#include "support/disk_images.h"
#include "support/error_of.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

namespace fs = std::filesystem;

// An automounter whose every answer is a failure. Its process group (a child that only waits)
// is not this process's, so that the kernel sends this process's requests to it; the child ends
// with the object.
class RefusingAutomounter {
 public:
  explicit RefusingAutomounter(const fs::path& folder) : folder_(folder) {
    fs::create_directories(folder);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    requests_ = ends[0];
    const std::string options = "fd=" + std::to_string(ends[1]) +
                                ",pgrp=" + std::to_string(group_.Pid()) +
                                ",minproto=5,maxproto=5,indirect";
    mounted_ = ::mount("startgarten-test", folder.c_str(), "autofs", 0, options.c_str()) == 0;
    ::close(ends[1]);
    root_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    answering_ = std::thread([this] { Answer(); });
  }
  ~RefusingAutomounter() {
    stop_ = true;
    if (answering_.joinable()) answering_.join();
    if (root_ >= 0) ::close(root_);
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    if (requests_ >= 0) ::close(requests_);
  }

  bool Mounted() const { return mounted_; }
  std::vector<std::string> Requested() {
    const std::lock_guard lock(mutex_);
    return requested_;
  }

 private:
  void Answer() {
    pollfd request{requests_, POLLIN, 0};
    while (!stop_) {
      if (::poll(&request, 1, 50) != 1) continue;
      autofs_v5_packet_union packet;
      if (::read(requests_, &packet, sizeof packet) <= 0) return;
      {
        const std::lock_guard lock(mutex_);
        requested_.emplace_back(packet.v5_packet.name, packet.v5_packet.len);
      }
      ::ioctl(root_, AUTOFS_IOC_FAIL, packet.v5_packet.wait_queue_token);
    }
  }

  fs::path folder_;
  const test_support::HoldingChild group_{[] { ::setpgid(0, 0); }};
  int requests_ = -1;
  int root_ = -1;
  bool mounted_ = false;
  std::atomic<bool> stop_ = false;
  std::mutex mutex_;
  std::vector<std::string> requested_;
  std::thread answering_;
};

// Runs in the kernel test bed (scripts/kernel-test.sh), which loads autofs: mounting one takes a
// kernel that has it and the right to mount.
std::vector<std::string> AutomountRows() {
  if (std::getenv("STARTGARTEN_TEST_FS")) return {"Autofs"};
  return {};
}

class AutomountTest : public testing::TestWithParam<std::string> {};
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(AutomountTest);

TEST_P(AutomountTest, OnlyTheWayToTheChosenImageEntersAnAutomountedFolder) {
  const test_support::TempDrive drive;
  const fs::path net = drive.Base() / "net", images = drive.Base() / "images";
  fs::create_directories(images);
  RefusingAutomounter automounter(net);
  ASSERT_TRUE(automounter.Mounted()) << "autofs cannot be mounted: " << std::strerror(errno);

  // A backing file behind the automounter, by an absolute and by a relative path.
  for (const std::string& backing :
       std::vector<std::string>{(net / "host/base.img").string(), "../net/host/base.img"}) {
    test_support::QemuImg({"create", "-q", "-f", "qcow2", "-u", "-b", backing, "-F", "raw",
                           (images / "top.qcow2").string(), "1440K"});
    const int fd = ::open((images / "top.qcow2").c_str(), O_RDONLY | O_CLOEXEC);
    const std::string refusal = test_support::ErrorOf([&] {
      FindImageFiles(fd, images / "top.qcow2", *ContainerFormatOfFile(fd, images / "top.qcow2"));
    });
    ::close(fd);
    EXPECT_EQ(refusal, FormatMessageText(messages::kImageReferenceRefused,
                                         {(images / "top.qcow2").string(), backing,
                                          messages::kImageReferenceThroughAutomount}));
  }
  EXPECT_EQ(automounter.Requested(), std::vector<std::string>{});

  // The way to an image chosen there passes it: the kernel asks for the host.
  const LocalPath onTheWay =
      ResolveLocalPath(drive.Base(), "net/host/vms/base.img", net / "host/vms");
  EXPECT_EQ(onTheWay.found, LocalPath::Found::kMissing);
  EXPECT_EQ(automounter.Requested(), std::vector<std::string>{"host"});
}
INSTANTIATE_TEST_SUITE_P(WhereMountable, AutomountTest, testing::ValuesIn(AutomountRows()));

}  // namespace
}  // namespace startgarten::platform
