#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/system/file_system.h"

namespace startgarten::platform {

// An open descriptor, closed when its owner ends. A file or folder opened through the file
// system operations is closed through them too (file_system::Close), so that the tests see that
// close as every other operation. What is opened by the system calls themselves is closed by
// them (Direct): the pipes, process descriptors and files in memory with which a program is run,
// and the files of /proc.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  static Descriptor Direct(int fd) {
    Descriptor direct(fd);
    direct.direct_ = true;
    return direct;
  }
  ~Descriptor() { Close(); }
  Descriptor(Descriptor&& other) noexcept
      : fd_(std::exchange(other.fd_, -1)), direct_(other.direct_) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
      direct_ = other.direct_;
    }
    return *this;
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Hands the descriptor to a new owner.
  int Release() { return std::exchange(fd_, -1); }
  // Closes it now: 0, or the errno value of a close that reports an error (a write that the file
  // system could not complete). The descriptor is released either way.
  int Close() {
    if (fd_ < 0) return 0;
    const int fd = std::exchange(fd_, -1);
    return (direct_ ? ::close(fd) : file_system::Close(fd)) == 0 ? 0 : errno;
  }

 private:
  int fd_ = -1;
  bool direct_ = false;
};

}  // namespace startgarten::platform
