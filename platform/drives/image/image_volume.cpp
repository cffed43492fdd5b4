// The image volume's access life cycle: the view that mtools works on (the image itself or its
// export), the lock, the refusal of an image in use, and the calls that settle what they opened.
// What is read and changed through that view lives in image_volume_reads.cpp and
// image_volume_changes.cpp.
#include "platform/drives/image/image_volume.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/drives/drive_errors.h"
#include "platform/drives/drive_session.h"
#include "platform/drives/image/image_in_use.h"
#include "platform/drives/image/image_messages.h"
#include "platform/drives/writer_lock.h"
#include "platform/system/file_system.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"

namespace startgarten::platform {

ImageVolume::Call::Call(ImageVolume& volume, bool beginsChange) : volume_(volume) {
  if (volume_.calls_++ == 0) volume_.viewErrorsThrow_ = beginsChange;
}

ImageVolume::Call::~Call() {
  if (--volume_.calls_ == 0) volume_.Settle();
}

ImageVolume::ImageVolume(const std::filesystem::path& image, std::chrono::milliseconds timeout)
    : image_(image),
      name_(Utf8ToCp1252(image.string())),
      timeout_(timeout),
      fd_(file_system::Open(image.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY)),
      cache_(fd_.Get()) {
  if (!fd_.IsOpen()) throw Error(FormatMessageText(messages::kCannotOpenFile, name_));
  struct stat status;
  if (::fstat(fd_.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    throw Error(FormatMessageText(messages::kImageNotRegular, name_));
  }
  RemoveStaleImageExports();
  format_ = ContainerFormatOfFile(fd_.Get(), image);
  if (format_) files_ = FindImageFiles(fd_.Get(), image, *format_);
  if (!format_) location_ = LocateFatVolumeInFile(fd_.Get(), image);
  if (!Mtools::Installed()) throw Error(FormatMessageText(messages::kMtoolsMissing, name_));
  mtools_ = std::make_unique<Mtools>(fd_.Get(), location_.offset, timeout);
  if (!format_) return;
  try {
    const Call call(*this);
    location_ = LocateFatVolumeInFile(View(Access::kRead), image);
    mtools_ = std::make_unique<Mtools>(export_->Fd(), location_.offset, timeout);
    KeepOpenInPrograms();
  } catch (...) {
    DriveSession::Forget(this);  // the export's end, which the call may have left to the session
    throw;
  }
}

ImageVolume::~ImageVolume() {
  DriveSession::Forget(this);
  locked_ = false;
  CloseView();
  ReleaseLock();
}

int ImageVolume::View(Access access) {
  if (!format_) return fd_.Get();
  // Under the lock the first view is made for writing: a command that locks is about to write.
  const bool writable = access == Access::kChange || (locked_ && !export_);
  if (export_ && (export_->Writable() || !writable)) return export_->Fd();
  CloseView();
  ImageExport::Options options;
  options.writable = writable;
  options.timeout = timeout_;
  if (writable && lockFd_.IsOpen()) options.kept = {lockFd_.Get()};
  if (writable && machineLock_.IsOpen()) options.kept.push_back(machineLock_.Get());
  try {
    export_ = std::make_unique<ImageExport>(files_.layers, *format_, name_, options);
  } catch (const Error&) {
    // QEMU refuses an image that another process has locked since it was looked at.
    if (writable) RefuseIfInUse(lockFd_.IsOpen() ? lockFd_.Get() : fd_.Get());
    throw;
  }
  if (mtools_) mtools_->SetImage(export_->Fd());
  KeepOpenInPrograms();
  return export_->Fd();
}

void ImageVolume::CloseView() {
  export_.reset();
  KeepOpenInPrograms();
}

void ImageVolume::Settle() {
  if (locked_) return;
  // An export for writing holds QEMU's locks, and lasts no longer than the call or the lock.
  if (export_ && export_->Writable()) CloseView();
  ReleaseLock();
  if (!export_) return;
  if (DriveSession::IsOpen()) {
    DriveSession::ReleaseAtEnd(this, [this] {
      if (!locked_) CloseView();
    });
  } else {
    CloseView();
  }
}

void ImageVolume::ReleaseLock() {
  lockFd_.Close();
  machineLock_.Close();
  KeepOpenInPrograms();
}

void ImageVolume::KeepOpenInPrograms() {
  if (!mtools_) return;
  std::vector<int> kept;
  if (lockFd_.IsOpen()) kept.push_back(lockFd_.Get());
  if (machineLock_.IsOpen()) kept.push_back(machineLock_.Get());
  if (export_) kept.insert(kept.end(), {export_->KeepAlive(), export_->Folder()});
  mtools_->KeepOpenInPrograms(std::move(kept));
}

void ImageVolume::RefuseIfInUse(int fd) const {
  platform::RefuseIfInUse(fd, name_, ImageUse::kAny);
  for (const ImageFile& file : files_.others) {
    platform::RefuseIfInUse(file.fd.Get(), file.name, file.use);
  }
}

MtoolsResult ImageVolume::Run(Access access, std::string_view program,
                              const std::vector<std::string>& arguments, std::string_view input,
                              size_t outputLimit) {
  try {
    // A change without the lock makes sure first that no other process holds the image.
    if (access == Access::kChange && !locked_ && (!export_ || !export_->Writable())) {
      RefuseIfInUse(fd_.Get());
    }
    View(access);
  } catch (const Error& error) {
    if (viewErrorsThrow_) throw;
    MtoolsResult failed;
    failed.error = kUnexplainedFailure;
    failed.errors = error.what();
    return failed;
  }
  return mtools_->Run(program, arguments, input, outputLimit);
}

bool ImageVolume::IsGone() const {
  struct stat status;
  return ::fstat(fd_.Get(), &status) != 0 || status.st_nlink == 0;
}

// The lock is taken on an opening of the image of its own: one shared with a child this process
// forked would stay held as long as this process keeps the image open.
void ImageVolume::Lock() {
  const Call call(*this, true);
  // The daemon of an export that a killed run left holds the image's lock: it ends first.
  if (format_) RemoveStaleImageExports();
  const std::string reopened = "/proc/self/fd/" + std::to_string(fd_.Get());
  Descriptor fd(file_system::Open(reopened.c_str(), O_RDONLY | O_NOCTTY));
  if (!fd.IsOpen()) RefuseWriterLock(name_, errno);
  machineLock_ = TakeWriterLock(fd.Get(), name_);
  lockFd_ = std::move(fd);
  try {
    // A QEMU that starts from now on refuses the image; one that started before is seen below.
    if (!format_ && HoldWriterLocks(lockFd_.Get()) != 0) {
      throw Error(FormatMessageText(messages::kImageCannotLock, name_));
    }
    RefuseIfInUse(lockFd_.Get());
  } catch (...) {
    ReleaseLock();
    throw;
  }
  locked_ = true;
  KeepOpenInPrograms();
}

void ImageVolume::Unlock() {
  if (!locked_) return;
  locked_ = false;
  Settle();
}

int ImageVolume::Flush() {
  const int view = export_ ? export_->Fd() : fd_.Get();
  return file_system::Fsync(view) == 0 ? 0 : errno;
}

}  // namespace startgarten::platform
