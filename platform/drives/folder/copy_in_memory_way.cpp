#include <fcntl.h>
#include <linux/openat2.h>

#include <cerrno>
#include <string>

#include "platform/drives/folder/host_attributes.h"
#include "platform/drives/folder/host_io.h"
#include "platform/drives/folder/replacement_way.h"
#include "platform/system/file_system.h"

namespace startgarten::platform {

namespace {

constexpr uint64_t kBeneath = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;

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

// Where there are neither an exchange nor links (msdos, older vfat): a plain rename over the file
// frees the old version's name, and its bytes kept in memory (and elsewhere than on FAT its open
// descriptor, for its attributes) are what a take-back writes again. A crash leaves the file new.
class CopyInMemory : public ReplacementWay {
 public:
  using ReplacementWay::ReplacementWay;

  int Start() override {
    if (const int error = ReadContent(versions_.old.Get(), oldBytes_)) return error;
    if (const int error = versions_.Rename(versions_.temporary, versions_.name, 0)) return error;
    beside_ = false;
    return 0;
  }

  // On FAT the old version is closed at once: its clusters are freed then, and go to the disk in
  // the same flush as the entry that no longer names them.
  int Finish() override {
    if (versions_.onFat) versions_.old.Close();
    return versions_.Settle(versions_.newFat);
  }

  int TakeBack() override;

 private:
  int WriteOldVersion() const;

  std::string oldBytes_;
};

// The new version moves back beside before the old one's copy takes its place: for that moment
// the file is missing, and the command's record has a crash there completed at the next start.
int CopyInMemory::TakeBack() {
  if (const int error = WriteOldVersion()) return error;
  if (const int error = versions_.Rename(versions_.name, versions_.temporary, 0)) {
    versions_.Unlink(versions_.oldVersion);
    return error;
  }
  if (const int error = versions_.Rename(versions_.oldVersion, versions_.name, 0)) {
    // Back to the new version; where even that fails, the file is missing and its new version
    // beside it, which the record has the next start put in place.
    if (versions_.Rename(versions_.temporary, versions_.name, 0) != 0) beside_ = true;
    return error;
  }
  beside_ = true;
  return versions_.Settle(versions_.oldFat);
}

// Writes the old version again, under its own temporary name, with its attributes and flushed.
int CopyInMemory::WriteOldVersion() const {
  const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW;
  Descriptor fd(file_system::OpenBeneath(versions_.directory.Get(), versions_.oldVersion.c_str(),
                                         flags, 0600, kBeneath));
  if (!fd.IsOpen()) return errno;
  int error = WriteAll(fd.Get(), oldBytes_);
  if (!error) {
    error = versions_.onFat
                ? (file_system::SetFatAttributes(fd.Get(), versions_.oldFat) == 0 ? 0 : errno)
                : CopyHostAttributes(versions_.old.Get(), versions_.oldStatus, fd.Get(),
                                     NewAttributes::kKeep);
  }
  if (!error && file_system::Fsync(fd.Get()) != 0) error = errno;
  if (const int closed = fd.Close(); !error) error = closed;
  if (error) versions_.Unlink(versions_.oldVersion);
  return error;
}

}  // namespace

std::unique_ptr<ReplacementWay> CopyInMemoryWay(FolderVersions& versions) {
  return std::make_unique<CopyInMemory>(versions);
}

}  // namespace startgarten::platform
