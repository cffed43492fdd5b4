#include "platform/drives/image/image_in_use.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/drives/image/image_messages.h"
#include "platform/system/file_system.h"

// A process that /proc does not show (another user's) is found by its lock alone.
namespace startgarten::platform {

namespace {

// A file system that has no locks of open file descriptions (QEMU then takes none either): the
// image is looked at in /proc alone.
bool LocksUnsupported(int error) {
  return error == EINVAL || error == ENOLCK || error == EOPNOTSUPP;
}

// The bytes of QEMU's scheme that a writer locks: the permissions it uses (reading a consistent
// image, writing) and those it does not grant (writing, resizing).
constexpr off_t kWriterLockBytes[] = {100, 101, 201, 203};

// The byte that a QEMU which writes the image locks.
constexpr off_t kWritingLockByte = 101;

// Of the other processes that have the image open, the first that holds a lock through it,
// else the first that writes it; for kWriting only one that writes it.
std::optional<ImageUser> FindProcess(const struct stat& image, ImageUse use) {
  const std::vector<FileOpening> openings = FindOpenings(image);
  auto user = std::find_if(openings.begin(), openings.end(), [use](const FileOpening& opening) {
    return opening.locks && use == ImageUse::kAny;
  });
  if (user == openings.end()) {
    user = std::find_if(openings.begin(), openings.end(),
                        [](const FileOpening& opening) { return opening.writes; });
  }
  if (user == openings.end()) return std::nullopt;
  return ImageUser{user->pid, ProgramNameOf(user->pid)};
}

// A message about the image and the process that uses it.
std::string DescribeUse(const char* pattern, std::string_view imageName, const ImageUser& user) {
  const std::string program = user.program.empty() ? messages::kImageUserUnseen : user.program;
  const std::string pid = user.pid > 0 ? std::to_string(user.pid) : messages::kImagePidUnknown;
  return FormatMessageText(pattern, {imageName, program, pid});
}

}  // namespace

int FindImageUser(int fd, std::optional<ImageUser>& user, ImageUse use) {
  user.reset();
  struct stat image;
  if (::fstat(fd, &image) != 0) return errno;
  // Any lock on the image (or on QEMU's byte of writing) that conflicts with an exclusive one: of
  // another open file description (QEMU's), or of another process (l_pid tells which).
  struct flock range = {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  if (use == ImageUse::kWriting) {
    range.l_start = kWritingLockByte;
    range.l_len = 1;
  }
  if (file_system::RangeLock(fd, F_OFD_GETLK, &range) != 0) {
    if (!LocksUnsupported(errno)) return errno;
    range.l_type = F_UNLCK;
  }
  user = FindProcess(image, use);
  if (user || range.l_type == F_UNLCK) return 0;
  user = ImageUser{range.l_pid > 0 ? range.l_pid : 0, {}};
  if (user->pid > 0) user->program = ProgramNameOf(user->pid);
  return 0;
}

int HoldWriterLocks(int fd) {
  for (const off_t byte : kWriterLockBytes) {
    struct flock range = {};
    range.l_type = F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = byte;
    range.l_len = 1;
    if (file_system::RangeLock(fd, F_OFD_SETLK, &range) != 0) {
      return LocksUnsupported(errno) ? 0 : errno;
    }
  }
  return 0;
}

void RefuseIfInUse(int fd, std::string_view name, ImageUse use) {
  std::optional<ImageUser> user;
  if (FindImageUser(fd, user, use) != 0) {
    throw Error(FormatMessageText(messages::kImageCannotLock, name));
  }
  if (user) throw ImageInUseError(name, *user);
}

ImageInUseError::ImageInUseError(std::string_view imageName, const ImageUser& user)
    : Error(DescribeUse(messages::kImageInUse, imageName, user)),
      noticeAtStart_(DescribeUse(messages::kImageInUseAtStart, imageName, user)) {}

}  // namespace startgarten::platform
