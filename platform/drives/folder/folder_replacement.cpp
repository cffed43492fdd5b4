#include "platform/drives/folder/folder_replacement.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/drives/drive_path.h"
#include "platform/drives/folder/host_attributes.h"
#include "platform/drives/folder/host_io.h"
#include "platform/drives/temporary_names.h"
#include "platform/system/file_system.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;

// Whether an errno value says that the file system lacks the call or its flags (FUSE, NFS and
// CIFS answer renameat2's flags with EINVAL), rather than that it failed.
bool Lacks(int error) {
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

uint32_t ErrorOf(int error) {
  return WindowsErrorFromErrno(error);
}

// The whole content of an open file, from the start.
int ReadContent(int fd, std::string& bytes) {
  char buffer[64 << 10];
  bytes.clear();
  for (off_t at = 0;;) {
    const ssize_t got = file_system::ReadAt(fd, buffer, sizeof buffer, at);
    if (got < 0) return errno;
    if (got == 0) return 0;
    bytes.append(buffer, static_cast<size_t>(got));
    at += got;
  }
}

// The new version of a file, beside it under a temporary name in the same directory. It takes
// the file's place with the calls the file system offers, in this order:
// - an exchange of the two names (renameat2 RENAME_EXCHANGE): the old version then waits under
//   the temporary name;
// - where there is none (FUSE, NFS, CIFS, older FAT drivers), a second name for the old version
//   (link) and a rename that replaces the file: the old version waits under a name of its own;
// - where there are no links either (FAT), a rename that replaces the file, while the old
//   version's bytes in memory (and elsewhere a descriptor of it, for its attributes) keep it for a
//   take-back.
// Each of these replaces the file in one step, so that the file is never missing, and a crash
// leaves it old or new, never anything else. That the files of one command are all old or all
// new across a crash is the write set's record: it names where each new version waits.
class FolderReplacement : public PreparedFile {
 public:
  FolderReplacement(Descriptor directory, std::string directoryPath, std::string name,
                    unsigned index, FolderCalls& calls)
      : calls_(calls),
        directory_(std::move(directory)),
        directoryPath_(std::move(directoryPath)),
        name_(std::move(name)),
        temporary_(TemporaryName(index)),
        oldVersion_(TemporaryName(index + kOldVersionIndex)) {}

  ~FolderReplacement() override {
    if (state_ == State::kBeside &&
        file_system::UnlinkAt(directory_.Get(), temporary_.c_str()) == 0)
      FlushRemovals(directory_.Get(), onFat_);
  }

  FolderReplacement(const FolderReplacement&) = delete;
  FolderReplacement& operator=(const FolderReplacement&) = delete;

  // Writes the new version: bytes, then the attributes of the old file (open as old, or not open
  // when there is none), then the flush. Returns where it failed.
  Preparation Write(std::string_view bytes, Descriptor old, NewAttributes attributes);

  uint32_t PutInPlace() override { return old_.IsOpen() ? Replace() : Create(); }
  uint32_t TakeBack() override;

  uint32_t SyncDirectory() override { return ErrorOf(FlushRenames(directory_.Get(), onFat_)); }

  std::string DirectoryKey() const override {
    struct stat status;
    if (::fstat(directory_.Get(), &status) != 0) return std::to_string(directory_.Get());
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  }

  // The old version is closed first, so that the clusters a FAT driver frees go with the
  // removal, in the same flush. (Elsewhere whether it is still there after a power cut changes
  // nothing: a record found without it finds the file new.)
  void RemoveOldVersion() override {
    old_.Close();
    const std::string* name = state_ == State::kExchanged     ? &temporary_
                              : state_ == State::kLinkedAside ? &oldVersion_
                                                              : nullptr;
    if (name && file_system::UnlinkAt(directory_.Get(), name->c_str()) == 0)
      FlushRemovals(directory_.Get(), onFat_);
    state_ = State::kDone;
  }

  std::string TemporaryPath() const override { return JoinDrivePath(directoryPath_, temporary_); }
  uint32_t Attributes() const override { return attributes_; }
  void KeepForNextStart() override { state_ = State::kDone; }

 private:
  // Where the versions are. kReplaced keeps the old version only in oldBytes_ (and old_).
  enum class State {
    kNone,
    kBeside,
    kCreated,
    kCreatedTwice,
    kExchanged,
    kLinkedAside,
    kReplaced,
    kDone
  };

  int Rename(const std::string& from, const std::string& to, unsigned flags) const {
    return file_system::RenameAt(directory_.Get(), from.c_str(), directory_.Get(), to.c_str(),
                                 flags);
  }
  int Link(const std::string& from, const std::string& to) const {
    return file_system::LinkAt(directory_.Get(), from.c_str(), directory_.Get(), to.c_str());
  }
  // On a FAT mount, the FAT attributes of a version where a rename may have changed them.
  uint32_t Settle(const std::string& name, uint32_t fat) const {
    return onFat_ ? SettleFatAttributes(directory_.Get(), name, fat) : kErrorSuccess;
  }

  uint32_t Create();
  uint32_t Replace();
  uint32_t CopyOldVersion();
  // Whether a failed call leaves the next way to try: the file system lacks the call, which is
  // then not tried again on this drive, or this file or folder refuses it now (EPERM: an
  // immutable file, a sticky folder, protected hard links), which the next command tries again.
  static bool TriesNextWay(bool& call) {
    if (Lacks(errno)) call = false;
    return !call || errno == EPERM;
  }
  // FAT has no links: there link answers EPERM, which elsewhere means that this file refuses one.
  bool MayLink() const { return calls_.links && !onFat_; }

  FolderCalls& calls_;
  Descriptor directory_;
  std::string directoryPath_;
  std::string name_;
  std::string temporary_;
  std::string oldVersion_;
  Descriptor old_;        // the file replaced, open for reading
  std::string oldBytes_;  // its content, once a plain rename is to replace it
  struct stat oldStatus_ {};
  bool onFat_ = false;
  uint32_t oldFat_ = 0;
  uint32_t newFat_ = 0;
  uint32_t attributes_ = 0;
  State state_ = State::kNone;
};

Preparation FolderReplacement::Write(std::string_view bytes, Descriptor old,
                                     NewAttributes attributes) {
  old_ = std::move(old);
  if (old_.IsOpen() && (::fstat(old_.Get(), &oldStatus_) != 0 || !S_ISREG(oldStatus_.st_mode)))
    return {WriteFailure::kCreate, kErrorAccessDenied, nullptr};
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
  // A file created anew gets the permissions the process's umask and the directory's default ACL
  // give it; a replacement starts private and gets the old file's at the end.
  const mode_t mode = old_.IsOpen() ? 0600 : 0666;
  const char* temporary = temporary_.c_str();
  Descriptor fd(file_system::OpenBeneath(directory_.Get(), temporary, flags, mode, kBeneath));
  if (!fd.IsOpen() && errno == EEXIST) {
    // Left by a crashed process that had the same process id: never written through.
    file_system::UnlinkAt(directory_.Get(), temporary);
    fd = Descriptor(file_system::OpenBeneath(directory_.Get(), temporary, flags, mode, kBeneath));
  }
  if (!fd.IsOpen()) return {WriteFailure::kCreate, ErrorOf(errno), nullptr};
  state_ = State::kBeside;

  // On a FAT mount the attributes are the directory entry's; elsewhere the old file's owner,
  // extended attributes and permission bits.
  int error = FileSystemIsFat(fd.Get(), onFat_);
  if (!error) error = WriteAll(fd.Get(), bytes);
  if (!error && onFat_) {
    error = old_.IsOpen() ? FatAttributes(old_.Get(), oldFat_) : 0;
    newFat_ = old_.IsOpen() ? oldFat_ : ATTR_ARCH;
    if (attributes == NewAttributes::kNormal) newFat_ = (newFat_ & ~kFatProtective) | ATTR_ARCH;
    if (!error && file_system::SetFatAttributes(fd.Get(), newFat_) != 0) error = errno;
  } else if (!error && old_.IsOpen()) {
    error = CopyHostAttributes(old_.Get(), oldStatus_, fd.Get(), attributes);
  }
  if (!error) attributes_ = onFat_ ? newFat_ & kFatKept : 0;
  // The FAT driver's flush of a file writes its directory entry before the FAT that allocates its
  // clusters, where a power cut in between leaves an entry naming free clusters; writing the whole
  // volume first sends the FAT ahead of the directory.
  if (!error && onFat_ && file_system::Syncfs(fd.Get()) != 0) error = errno;
  if (!error && file_system::Fsync(fd.Get()) != 0) error = errno;
  if (const int closed = fd.Close(); !error) error = closed;
  if (error) return {WriteFailure::kWrite, ErrorOf(error), nullptr};
  return {WriteFailure::kNone, kErrorSuccess, nullptr};
}

// A file that did not exist: the new version takes its name only where none has appeared since.
uint32_t FolderReplacement::Create() {
  if (calls_.noReplace) {
    if (Rename(temporary_, name_, RENAME_NOREPLACE) == 0) {
      state_ = State::kCreated;
      return Settle(name_, newFat_);
    }
    if (!TriesNextWay(calls_.noReplace)) return ErrorOf(errno);
  }
  if (MayLink()) {
    if (Link(temporary_, name_) == 0) {
      // Both names hold the new version until the temporary one is gone; a crash in between
      // leaves the file new and its temporary name for the next start to remove.
      state_ = State::kCreatedTwice;
      if (file_system::UnlinkAt(directory_.Get(), temporary_.c_str()) != 0) return ErrorOf(errno);
      state_ = State::kCreated;
      return Settle(name_, newFat_);
    }
    if (!TriesNextWay(calls_.links)) return ErrorOf(errno);
  }
  // Without links, a plain rename: it would replace a file that another program created since
  // Prepare looked, which the drive's lock keeps Startgarten itself from doing.
  struct stat existing;
  if (::fstatat(directory_.Get(), name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
    return kErrorAlreadyExists;
  if (Rename(temporary_, name_, 0) != 0) return ErrorOf(errno);
  state_ = State::kCreated;
  return Settle(name_, newFat_);
}

uint32_t FolderReplacement::Replace() {
  if (calls_.exchange) {
    if (Rename(temporary_, name_, RENAME_EXCHANGE) == 0) {
      state_ = State::kExchanged;
      return Settle(name_, newFat_);
    }
    if (!TriesNextWay(calls_.exchange)) return ErrorOf(errno);
  }
  // The old version under a second name: the file keeps a name throughout.
  if (MayLink()) {
    const bool linked =
        Link(name_, oldVersion_) == 0 ||
        (errno == EEXIST && file_system::UnlinkAt(directory_.Get(), oldVersion_.c_str()) == 0 &&
         Link(name_, oldVersion_) == 0);
    if (linked) {
      if (Rename(temporary_, name_, 0) != 0) {
        const int error = errno;
        file_system::UnlinkAt(directory_.Get(), oldVersion_.c_str());
        return ErrorOf(error);
      }
      state_ = State::kLinkedAside;
      return Settle(name_, newFat_);
    }
    if (!TriesNextWay(calls_.links)) return ErrorOf(errno);
  }
  // No links: the rename frees the old version's name, and its bytes kept in memory are what a
  // take-back writes again. A crash leaves the file new. On FAT the old version is closed at once:
  // its clusters are freed then, and go to the disk in the same flush as the entry that no longer
  // names them.
  if (const int error = ReadContent(old_.Get(), oldBytes_)) return ErrorOf(error);
  if (Rename(temporary_, name_, 0) != 0) return ErrorOf(errno);
  state_ = State::kReplaced;
  if (onFat_) old_.Close();
  return Settle(name_, newFat_);
}

// Writes the old version again, under its own temporary name, with its attributes and flushed.
uint32_t FolderReplacement::CopyOldVersion() {
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
  Descriptor fd(
      file_system::OpenBeneath(directory_.Get(), oldVersion_.c_str(), flags, 0600, kBeneath));
  if (!fd.IsOpen()) return ErrorOf(errno);
  int error = WriteAll(fd.Get(), oldBytes_);
  if (!error) {
    error = onFat_ ? (file_system::SetFatAttributes(fd.Get(), oldFat_) == 0 ? 0 : errno)
                   : CopyHostAttributes(old_.Get(), oldStatus_, fd.Get(), NewAttributes::kKeep);
  }
  if (!error && file_system::Fsync(fd.Get()) != 0) error = errno;
  if (const int closed = fd.Close(); !error) error = closed;
  if (error) file_system::UnlinkAt(directory_.Get(), oldVersion_.c_str());
  return ErrorOf(error);
}

// Every way back leaves the new version beside the file under its temporary name, as it was
// before PutInPlace, so that a record can still have it completed.
uint32_t FolderReplacement::TakeBack() {
  uint32_t error = kErrorSuccess;
  switch (state_) {
    case State::kExchanged:
      if (Rename(temporary_, name_, RENAME_EXCHANGE) != 0) return ErrorOf(errno);
      state_ = State::kBeside;
      return Settle(name_, oldFat_);
    case State::kLinkedAside:
      if (Link(name_, temporary_) != 0) return ErrorOf(errno);
      if (Rename(oldVersion_, name_, 0) != 0) {
        error = ErrorOf(errno);
        file_system::UnlinkAt(directory_.Get(), temporary_.c_str());
        return error;
      }
      state_ = State::kBeside;
      return Settle(name_, oldFat_);
    case State::kReplaced:
      // Without links the new version moves back beside before the old one's copy takes its
      // place: for that moment the file is missing, and the command's record has a crash there
      // completed at the next start.
      if ((error = CopyOldVersion()) != kErrorSuccess) return error;
      if (Rename(name_, temporary_, 0) != 0) {
        error = ErrorOf(errno);
        file_system::UnlinkAt(directory_.Get(), oldVersion_.c_str());
        return error;
      }
      if (Rename(oldVersion_, name_, 0) != 0) {
        error = ErrorOf(errno);
        // Back to the new version; where even that fails, the file is missing and its new
        // version beside it, which the record has the next start put in place.
        if (Rename(temporary_, name_, 0) != 0) state_ = State::kBeside;
        return error;
      }
      state_ = State::kBeside;
      return Settle(name_, oldFat_);
    case State::kCreated:
      if (Rename(name_, temporary_, 0) != 0) return ErrorOf(errno);
      state_ = State::kBeside;
      return kErrorSuccess;
    case State::kCreatedTwice:
      if (file_system::UnlinkAt(directory_.Get(), name_.c_str()) != 0) return ErrorOf(errno);
      state_ = State::kBeside;
      return kErrorSuccess;
    default:
      return kErrorSuccess;
  }
}

}  // namespace

Preparation PrepareInFolder(Descriptor directory, const std::string& directoryPath,
                            const std::string& name, std::string_view bytes,
                            NewAttributes attributes, unsigned index, FolderCalls& calls) {
  // The file it replaces, opened through the directory: Resolve followed every link on the way.
  Descriptor old(file_system::OpenBeneath(
      directory.Get(), name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW, 0, kBeneath));
  if (!old.IsOpen() && errno != ENOENT) return {WriteFailure::kCreate, ErrorOf(errno), nullptr};
  auto prepared =
      std::make_unique<FolderReplacement>(std::move(directory), directoryPath, name, index, calls);
  Preparation written = prepared->Write(bytes, std::move(old), attributes);
  if (written.failure == WriteFailure::kNone) written.file = std::move(prepared);
  return written;
}

uint32_t CompleteInFolder(int directory, const std::string& temporary, const std::string& name,
                          uint32_t attributes) {
  if (!temporary.empty() &&
      file_system::RenameAt(directory, temporary.c_str(), directory, name.c_str(), 0) != 0) {
    return ErrorOf(errno);
  }
  bool onFat = false;
  if (const int error = FileSystemIsFat(directory, onFat)) return ErrorOf(error);
  if (onFat) {
    if (const uint32_t error = SettleFatAttributes(directory, name, attributes)) return error;
  }
  return ErrorOf(FlushRenames(directory, onFat));
}

}  // namespace startgarten::platform
