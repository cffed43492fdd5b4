#include "platform/drives/image/image_drive.h"

#include <algorithm>
#include <cerrno>

#include "platform/drives/drive_errors.h"
#include "platform/drives/drive_path.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

// The path with "/" between its names, where earlier versions recorded an image's paths with "\\".
std::string Slashed(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Where writing a new version failed (error a Windows error code): a file that cannot be made
// there, or bytes that do not fit or cannot be written.
WriteFailure FailureOf(uint32_t error) {
  return error == kErrorDiskFull || error == kErrorIoDevice || error == kErrorGenFailure
             ? WriteFailure::kWrite
             : WriteFailure::kCreate;
}

class ImageLock : public DriveLock {
 public:
  explicit ImageLock(ImageVolume& volume) : volume_(volume) {}
  ~ImageLock() override { volume_.Unlock(); }

 private:
  ImageVolume& volume_;
};

// The new version of a file, written beside it under a temporary name: putting it in place frees
// the old version, which a take-back writes again.
class ImagePreparedFile : public PreparedFile {
 public:
  ImagePreparedFile(ImageVolume& volume, std::string directory, std::string temporary,
                    std::string target, uint32_t attributes)
      : volume_(volume),
        directory_(std::move(directory)),
        temporary_(std::move(temporary)),
        target_(std::move(target)),
        attributes_(attributes) {}

  ~ImagePreparedFile() override {
    if (!inPlace_ && !kept_) volume_.Remove(TemporaryPath());
  }

  // A failure after the new version took the target's name (flushing the image, or mtools ending
  // badly after its change) leaves it in place all the same: its temporary name is gone then.
  uint32_t PutInPlace() override {
    const int error = volume_.Replace(directory_, temporary_, target_, replacement_);
    inPlace_ = error == 0 || volume_.Find(TemporaryPath()).error == ENOENT;
    return DriveError(error);
  }

  uint32_t TakeBack() override {
    if (!inPlace_) return kErrorSuccess;
    const int error = volume_.Undo(replacement_, temporary_);
    inPlace_ = error != 0;
    return DriveError(error);
  }

  // Every change is flushed to the image before the next one starts.
  uint32_t SyncDirectory() override { return kErrorSuccess; }
  std::string DirectoryKey() const override { return "image:" + directory_; }
  void RemoveOldVersion() override {}
  std::string TemporaryPath() const override { return JoinDrivePath(directory_, temporary_); }
  uint32_t Attributes() const override { return attributes_; }
  void KeepForNextStart() override { kept_ = true; }

 private:
  ImageVolume& volume_;
  std::string directory_;
  std::string temporary_;
  std::string target_;
  uint32_t attributes_;
  ImageReplacement replacement_;
  bool inPlace_ = false;
  bool kept_ = false;
};

// A version found beside its file in the image. Nothing but the locked volume changes the image
// while it is completed, so its name leads to what was read; mmove keeps the attributes it was
// written with, so only its place is left to do.
class ImageFoundVersion : public FoundVersion {
 public:
  ImageFoundVersion(ImageVolume& volume, std::string directory, std::string name,
                    std::string target, ReadFileResult read)
      : volume_(volume),
        directory_(std::move(directory)),
        name_(std::move(name)),
        target_(std::move(target)),
        read_(std::move(read)) {}

  const ReadFileResult& Read() const override { return read_; }

  uint32_t PutInPlace(uint32_t /*attributes*/) override {
    if (name_ == target_) return kErrorSuccess;
    ImageReplacement replaced;
    return DriveError(volume_.Replace(directory_, name_, target_, replaced));
  }

 private:
  ImageVolume& volume_;
  std::string directory_;
  std::string name_;
  std::string target_;
  ReadFileResult read_;
};

}  // namespace

// mtools finds names without regard to case itself, so a path is resolved without a look at the
// image: reading a file takes a single program. A folder that is missing is found missing there.
ResolvedPath ImageDrive::Resolve(const std::vector<std::string_view>& names) {
  std::string path;
  for (const std::string_view name : names) path = JoinDrivePath(path, name);
  for (char& c : path) c = ToUpperCp1252(c);
  return {kErrorSuccess, path};
}

FileStatus ImageDrive::Status(const std::string& path) {
  if (path.empty()) return {true, false, kAttributeDirectory};
  const FindResult found = volume_.Find(path);
  if (found.error != 0) return {};
  return {true, !found.entry.IsDirectory(), found.entry.attributes};
}

ReadFileResult ImageDrive::ReadFile(const std::string& path, size_t limit) {
  return DriveRead(volume_.Read(path, limit));
}

uint32_t ImageDrive::Rename(const std::string& from, const std::string& to) {
  return DriveError(volume_.Rename(from, to));
}

Preparation ImageDrive::Prepare(const std::string& path, std::string_view bytes,
                                NewAttributes attributes, unsigned index) {
  const FindResult old = volume_.Find(path);
  const bool exists = old.error == 0;
  if (!exists && old.error != ENOENT)
    return {WriteFailure::kCreate, DriveError(old.error), nullptr};
  if (exists && old.entry.IsDirectory())
    return {WriteFailure::kCreate, kErrorAccessDenied, nullptr};
  uint32_t stored = kAttributeArchive;
  if (exists) {
    stored = old.entry.attributes & kStoredAttributes;
    if (attributes == NewAttributes::kNormal)
      stored = (stored & ~kProtectiveAttributes) | kAttributeArchive;
  }
  const auto [directory, name] = SplitDrivePath(path);
  const TemporaryFile temporary =
      volume_.WriteTemporary(directory, index, bytes, stored, exists ? old.entry.name : name);
  if (const uint32_t error = DriveError(temporary.error)) return {FailureOf(error), error, nullptr};
  return {WriteFailure::kNone, kErrorSuccess,
          std::make_unique<ImagePreparedFile>(volume_, directory, temporary.name, name, stored)};
}

std::unique_ptr<DriveLock> ImageDrive::LockForWriting() {
  volume_.Lock();
  return std::make_unique<ImageLock>(volume_);
}

std::unique_ptr<FoundVersion> ImageDrive::FindVersion(const std::string& path,
                                                      const std::string& name, size_t limit) {
  const auto [directory, target] = SplitDrivePath(Slashed(path));
  ReadFileResult read = DriveRead(volume_.Read(JoinDrivePath(directory, name), limit));
  return std::make_unique<ImageFoundVersion>(volume_, directory, name, target, std::move(read));
}

bool ImageDrive::IsGone() const {
  return volume_.IsGone();
}

uint32_t ImageDrive::Remove(const std::string& path) {
  return DriveError(volume_.Remove(path));
}

void ImageDrive::RemoveTemporaryFiles(const std::string& directory) {
  volume_.RemoveStaleTemporaryFiles(directory);
}

}  // namespace startgarten::platform
