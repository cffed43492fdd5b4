#include "platform/drives/folder/folder_replacement.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <linux/openat2.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/drives/drive_errors.h"
#include "platform/drives/drive_path.h"
#include "platform/drives/folder/host_attributes.h"
#include "platform/drives/folder/host_io.h"
#include "platform/drives/temporary_names.h"
#include "platform/system/file_system.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;

}  // namespace

FolderReplacement::FolderReplacement(Descriptor directory, std::string directoryPath,
                                     std::string name, unsigned index, FolderCalls& calls)
    : calls_(calls), directoryPath_(std::move(directoryPath)) {
  versions_.directory = std::move(directory);
  versions_.name = std::move(name);
  versions_.temporary = TemporaryName(index);
  versions_.oldVersion = TemporaryName(index + kOldVersionIndex);
}

FolderReplacement::~FolderReplacement() {
  if (Beside() && versions_.Unlink(versions_.temporary) == 0)
    FlushRemovals(versions_.directory.Get(), versions_.onFat);
}

int FolderReplacement::Create() {
  const int directory = versions_.directory.Get();
  versions_.old = Descriptor(file_system::OpenBeneath(directory, versions_.name.c_str(),
                                                      O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW,
                                                      0, kBeneath));
  if (!versions_.old.IsOpen() && errno != ENOENT) return errno;
  const bool replacing = versions_.old.IsOpen();
  if (replacing && (::fstat(versions_.old.Get(), &versions_.oldStatus) != 0 ||
                    !S_ISREG(versions_.oldStatus.st_mode))) {
    return EACCES;
  }
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
  // A file created anew gets the permissions the process's umask and the directory's default ACL
  // give it; a replacement starts private and gets the old file's at the end.
  const mode_t mode = replacing ? 0600 : 0666;
  const char* temporary = versions_.temporary.c_str();
  new_ = Descriptor(file_system::OpenBeneath(directory, temporary, flags, mode, kBeneath));
  if (!new_.IsOpen() && errno == EEXIST) {
    // Left by a crashed process that had the same process id: never written through.
    file_system::UnlinkAt(directory, temporary);
    new_ = Descriptor(file_system::OpenBeneath(directory, temporary, flags, mode, kBeneath));
  }
  if (!new_.IsOpen()) return errno;
  created_ = true;
  return 0;
}

// On a FAT mount the attributes are the directory entry's; elsewhere the old file's owner,
// extended attributes and permission bits.
int FolderReplacement::Write(std::string_view bytes, NewAttributes attributes) {
  const int fd = new_.Get();
  const bool replacing = versions_.old.IsOpen();
  bool& onFat = versions_.onFat;
  int error = FileSystemIsFat(fd, onFat);
  if (!error) error = WriteAll(fd, bytes);
  if (!error && onFat) {
    error = replacing ? FatAttributes(versions_.old.Get(), versions_.oldFat) : 0;
    uint32_t& fat = versions_.newFat;
    fat = replacing ? versions_.oldFat : ATTR_ARCH;
    if (attributes == NewAttributes::kNormal) fat = (fat & ~kFatProtective) | ATTR_ARCH;
    if (!error && file_system::SetFatAttributes(fd, fat) != 0) error = errno;
  } else if (!error && replacing) {
    error = CopyHostAttributes(versions_.old.Get(), versions_.oldStatus, fd, attributes);
  }
  if (!error) attributes_ = onFat ? versions_.newFat & kFatKept : 0;
  // The FAT driver's flush of a file writes its directory entry before the FAT that allocates its
  // clusters, where a power cut in between leaves an entry naming free clusters; writing the whole
  // volume first sends the FAT ahead of the directory.
  if (!error && onFat && file_system::Syncfs(fd) != 0) error = errno;
  if (!error && file_system::Fsync(fd) != 0) error = errno;
  if (const int closed = new_.Close(); !error) error = closed;
  return error;
}

uint32_t FolderReplacement::PutInPlace() {
  Placement placement = PutInPlaceBestWay(versions_, calls_);
  if (placement.way) way_ = std::move(placement.way);
  return DriveError(placement.error);
}

// Every way back leaves the new version beside the file under its temporary name, as it was
// before PutInPlace, so that a record can still have it completed.
uint32_t FolderReplacement::TakeBack() {
  if (done_ || !way_ || way_->Beside()) return kErrorSuccess;
  return DriveError(way_->TakeBack());
}

uint32_t FolderReplacement::SyncDirectory() {
  return DriveError(FlushRenames(versions_.directory.Get(), versions_.onFat));
}

std::string FolderReplacement::DirectoryKey() const {
  struct stat status;
  const int directory = versions_.directory.Get();
  if (::fstat(directory, &status) != 0) return std::to_string(directory);
  return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
}

// The old version is closed first, so that the clusters a FAT driver frees go with the removal, in
// the same flush. (Elsewhere whether it is still there after a power cut changes nothing: a record
// found without it finds the file new.)
void FolderReplacement::RemoveOldVersion() {
  versions_.old.Close();
  const bool inPlace = !done_ && way_ && !way_->Beside();
  const std::string* name = inPlace ? way_->OldVersionName() : nullptr;
  if (name && versions_.Unlink(*name) == 0)
    FlushRemovals(versions_.directory.Get(), versions_.onFat);
  done_ = true;
}

std::string FolderReplacement::TemporaryPath() const {
  return JoinDrivePath(directoryPath_, versions_.temporary);
}

}  // namespace startgarten::platform
