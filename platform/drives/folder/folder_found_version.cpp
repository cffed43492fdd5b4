#include "platform/drives/folder/folder_found_version.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/drives/drive_errors.h"
#include "platform/drives/folder/host_attributes.h"
#include "platform/drives/folder/host_io.h"
#include "platform/system/file_system.h"

namespace startgarten::platform {

namespace {

class HeldVersion : public FoundVersion {
 public:
  HeldVersion(Descriptor directory, Descriptor file, std::string name, std::string target,
              ReadFileResult read)
      : directory_(std::move(directory)),
        file_(std::move(file)),
        name_(std::move(name)),
        target_(std::move(target)),
        read_(std::move(read)) {}

  const ReadFileResult& Read() const override { return read_; }

  uint32_t PutInPlace(uint32_t attributes) override { return DriveError(Complete(attributes)); }

 private:
  // Renames the version over its file (nothing when it is there already), gives it the DOS
  // attributes where a FAT driver may have changed them on the rename, and makes that durable.
  int Complete(uint32_t attributes) const {
    struct stat held, named;
    if (!file_.IsOpen() || ::fstat(file_.Get(), &held) != 0 ||
        ::fstatat(directory_.Get(), name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
      return ENOENT;
    }
    if (held.st_dev != named.st_dev || held.st_ino != named.st_ino) return ENOENT;
    const int directory = directory_.Get();
    if (name_ != target_ &&
        file_system::RenameAt(directory, name_.c_str(), directory, target_.c_str(), 0) != 0) {
      return errno;
    }
    bool onFat = false;
    if (const int error = FileSystemIsFat(directory, onFat)) return error;
    if (onFat) {
      if (const int error = SettleFatAttributes(directory, target_, attributes)) return error;
    }
    return FlushRenames(directory, onFat);
  }

  Descriptor directory_;
  Descriptor file_;
  std::string name_;
  std::string target_;
  ReadFileResult read_;
};

}  // namespace

std::unique_ptr<FoundVersion> FolderFoundVersion(Descriptor directory, Descriptor file,
                                                 std::string name, std::string target,
                                                 ReadFileResult read) {
  return std::make_unique<HeldVersion>(std::move(directory), std::move(file), std::move(name),
                                       std::move(target), std::move(read));
}

}  // namespace startgarten::platform
