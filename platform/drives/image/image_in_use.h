#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/drives/file_holders.h"
#include "platform/windows/error.h"

// Whether another process holds a disk image file, so that changing it would be lost or would
// destroy the emulator's file system: a process that has it open for writing, or one that holds a
// lock on it, as QEMU does. QEMU locks bytes of its image files with open file description
// locks: a shared lock on byte 100 + n for each permission n it uses (0 reading a consistent
// image, 1 writing, 2 writing unchanged data, 3 resizing) and on byte 200 + n for each it does not
// grant others; a QEMU that starts tests those bytes with an exclusive lock and refuses an image
// on which it finds one that conflicts.
namespace startgarten::platform {

// The process that holds an image: pid 0 when it cannot be seen (another user's); its program
// named as ProgramNameOf names it.
using ImageUser = FileHolder;

// Which users of a file count: any that locks or writes it (a file that is written), or only one
// that writes it or holds QEMU's lock of writing (an image that is only read, built on).
enum class ImageUse { kAny, kWriting };

// Looks, through fd (an opening of the image that holds no lock itself), for a lock of any other
// open file description or process on the image, and in /proc for a process (other than this
// one) that has it open for writing or holds such a lock. Processes that cannot be read are
// passed over; their locks still count. On a file system without such locks, /proc alone tells.
// Returns 0, with user set when the image is in use, or the errno value of a lock test that
// failed.
int FindImageUser(int fd, std::optional<ImageUser>& user, ImageUse use = ImageUse::kAny);

// Throws ImageInUseError when another process uses the file open as fd, named name in messages,
// and Error (kImageCannotLock) when that cannot be found out.
void RefuseIfInUse(int fd, std::string_view name, ImageUse use);

// Takes through fd (open for reading) the locks that a QEMU writing the image takes: it reads
// and writes, and grants others neither writing nor resizing. A QEMU that starts while they are
// held refuses the image. They last as long as fd's open file description. Returns 0 (also on a
// file system without such locks, where QEMU takes none either) or errno.
int HoldWriterLocks(int fd);

// The refusal of a change to an image that another process holds: its message names the image,
// the program and its id; NoticeAtStart says the same to a user who only opens the image.
class ImageInUseError : public Error {
 public:
  ImageInUseError(std::string_view imageName, const ImageUser& user);
  const std::string& NoticeAtStart() const { return noticeAtStart_; }

 private:
  std::string noticeAtStart_;
};

}  // namespace startgarten::platform
