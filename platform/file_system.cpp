#include "platform/file_system.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

namespace startgarten::platform::file_system {

namespace {

FaultPlan faultPlan;
unsigned long operationsPerformed = 0;

// Counts the operation and tells whether the fault plan makes it fail (errno is then set).
bool InjectedFailure() {
  ++operationsPerformed;
  if (operationsPerformed != faultPlan.failAt) return false;
  errno = faultPlan.error;
  return true;
}

// Repeats a call that a signal interrupted.
template <typename Call>
auto Retrying(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result == -1 && errno == EINTR);
  return result;
}

}  // namespace

int Open(const std::filesystem::path& path, int flags, mode_t mode) {
  if (InjectedFailure()) return -1;
  return Retrying([&] { return ::open(path.c_str(), flags | O_CLOEXEC, mode); });
}

ssize_t Read(int fd, void* buffer, size_t size) {
  if (InjectedFailure()) return -1;
  return Retrying([&] { return ::read(fd, buffer, size); });
}

ssize_t Write(int fd, const void* data, size_t size) {
  if (InjectedFailure()) return -1;
  return Retrying([&] { return ::write(fd, data, size); });
}

int Fsync(int fd) {
  if (InjectedFailure()) return -1;
  return Retrying([&] { return ::fsync(fd); });
}

int Close(int fd) {
  if (InjectedFailure()) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return ::close(fd);
}

int Rename(const std::filesystem::path& from, const std::filesystem::path& to, unsigned flags) {
  if (InjectedFailure()) return -1;
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags);
}

int Unlink(const std::filesystem::path& path) {
  if (InjectedFailure()) return -1;
  return ::unlink(path.c_str());
}

int Fchmod(int fd, mode_t mode) {
  if (InjectedFailure()) return -1;
  return ::fchmod(fd, mode);
}

int Fchown(int fd, uid_t owner, gid_t group) {
  if (InjectedFailure()) return -1;
  return ::fchown(fd, owner, group);
}

int Fsetxattr(int fd, const char* name, const void* value, size_t size) {
  if (InjectedFailure()) return -1;
  return ::fsetxattr(fd, name, value, size, 0);
}

int Fremovexattr(int fd, const char* name) {
  if (InjectedFailure()) return -1;
  return ::fremovexattr(fd, name);
}

int SetFatAttributes(int fd, uint32_t attributes) {
  if (InjectedFailure()) return -1;
  return Retrying([&] { return ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes); });
}

void SetFaultPlan(FaultPlan plan) {
  faultPlan = plan;
  operationsPerformed = 0;
}

unsigned long OperationsPerformed() {
  return operationsPerformed;
}

}  // namespace startgarten::platform::file_system
