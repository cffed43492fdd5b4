#pragma once

#include <sys/types.h>

#include <string>

#include "support/disk_images.h"

// Processes that hold a disk image as an emulator does, for the tests that an image in use is
// never written: a program that has it open for writing, and QEMU with it as its disk.
namespace startgarten::test_support {

// Holds the image until the object ends, when the process is killed.
class ImageHolder {
 public:
  // "sleep" with the image open for reading and writing.
  static ImageHolder Writer(const DiskImage& image);
  // qemu-system-x86_64, paused before its first instruction (-S), once it holds its locks.
  static ImageHolder PausedQemu(const DiskImage& image);
  ~ImageHolder();
  ImageHolder(ImageHolder&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
  ImageHolder(const ImageHolder&) = delete;
  ImageHolder& operator=(const ImageHolder&) = delete;

  pid_t Pid() const { return pid_; }

 private:
  explicit ImageHolder(pid_t pid) : pid_(pid) {}
  pid_t pid_;
};

// Starts a QEMU on the image: what it reports when it refuses the image, empty when it takes it
// (it is ended then).
std::string QemuRefusal(const DiskImage& image);

}  // namespace startgarten::test_support
