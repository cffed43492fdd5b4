#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/image/disk_image_layout.h"
#include "platform/drives/image/image_export.h"
#include "platform/drives/image/image_files.h"
#include "platform/drives/image/image_volume_cache.h"
#include "platform/drives/image/mtools.h"
#include "platform/system/descriptor.h"
#include "platform/system/file_bytes.h"
#include "platform/windows/file_types.h"

// The FAT volume inside a disk image file, changed through mtools: what a drive needs of it.
//
// Paths are relative to the volume's root, names separated by "/" as on every drive (drive_path.h;
// "\" too, as earlier versions recorded them) and in code page 1252; they match without regard to
// case, long names and short names alike. "." and ".." are not resolved here. Errors are errno
// values (0 for none), as everywhere below the drive interface: ENOENT for a missing file, ENOTDIR
// for a missing directory on the way, EIO for a damaged volume.
//
// Replacing a file is crash-safe: its new content is first written under a temporary 8.3 name in
// the same directory, with its final attributes, and flushed; then one mtools program puts it in
// place of the target and frees the old content. Each program runs in a process group of its own
// and finishes even when this process is killed, and every change is flushed before the next one
// starts, so a SIGKILL of this process at any moment leaves each file old or new.
//
// Each file and each directory is read once: the results are kept (image_volume_cache.h) while
// the image file's size and modification time stay the same, and a change made here tells the
// cache what it changed.
//
// An image of another emulator's format (qcow2, VDI, VMDK, ...) is worked on through its export by
// QEMU (image_export.h): one for reading that takes no locks, and one for writing, with QEMU's
// locks, for what runs under the write lock (or, without it, for each change). An export for
// writing lasts as long as the write lock or the call that changes; one for reading lasts for the
// call that needed it or, within a drive session (drive_session.h), until the session ends, so
// that no lock outlives a command's writing and no box is shown while one is held.
//
// Before it changes an image, the volume makes sure that no other process holds it (an emulator,
// image_in_use.h): at Lock, and at a change made without the lock. Lock, the constructor and
// WriteTemporary, with which a command's changes begin, throw Error when the image is in use or
// cannot be exported; WriteTemporary also when QEMU could not change the image where something is
// stored (a stream-optimized VMDK). The other calls give errno values.
namespace startgarten::platform {

struct FindResult {
  int error = 0;  // ENOENT, or ENOTDIR when a directory is missing
  ImageEntry entry;
};

struct TemporaryFile {
  int error = 0;
  std::string name;  // the temporary file's 8.3 name, in its directory
};

// What a replacement changed, to be taken back by Undo while the command still runs.
struct ImageReplacement {
  std::string directory;
  std::string target;  // the exact name the target has now
  bool existed = false;
  std::string oldBytes;
  uint32_t oldAttributes = 0;
};

class ImageVolume {
 public:
  // Opens the image file (following links) and finds its FAT volume, in another emulator's format
  // through an export. Throws Error when the file cannot be opened (kCannotOpenFile), holds no
  // usable FAT volume (the recognition's message), is no regular file (kImageNotRegular), names
  // another file that is refused (image_files.h), mtools is not installed (kMtoolsMissing) or
  // the export fails (image_export.h). timeout bounds each program of mtools and each start and
  // end of an export.
  explicit ImageVolume(const std::filesystem::path& image,
                       std::chrono::milliseconds timeout = std::chrono::seconds(30));
  ~ImageVolume();
  ImageVolume(const ImageVolume&) = delete;
  ImageVolume& operator=(const ImageVolume&) = delete;

  const FatVolumeLocation& Location() const { return location_; }

  // Whether the image file has been removed since it was opened.
  bool IsGone() const;

  // Takes the lock of the image's one writer (writer_lock.h: an advisory lock, flock, on the image
  // file, waited for a few seconds), after ending the daemon of an export that a killed run left
  // behind, and then, on a raw image, the locks of QEMU's scheme that keep a QEMU from starting on
  // it (an export takes its own). The programs of mtools and the export's daemon started while it
  // is held share it, so that it lasts until the last of them has ended. Throws ImageInUseError
  // when another process holds the image, Error (kDriveLocked, kDriveCannotLock,
  // kImageCannotLock) when the lock cannot be taken.
  void Lock();
  // Ends the lock, and the export for writing with it.
  void Unlock();

  // The entry of an existing file or folder ("" is the root).
  FindResult Find(std::string_view path);

  // The whole file, never more than limit bytes; a directory gives EACCES.
  BytesRead Read(std::string_view path, size_t limit);

  // Writes bytes as a new file named TemporaryName(index) in directory, with
  // exactly these attributes (read-only, hidden, system, archive), and flushes the image. A file
  // of that name that this object did not write (left by an earlier process of the same id and
  // kept by RemoveStaleTemporaryFiles) gives EEXIST; one it wrote is overwritten.
  // The name is given the letter case of the short name letterCaseOf (the file it will replace),
  // so that the replacement keeps the directory entry's bits of a name in small letters.
  TemporaryFile WriteTemporary(std::string_view directory, unsigned index, std::string_view bytes,
                               uint32_t attributes, std::string_view letterCaseOf = {});

  // Puts the temporary file of directory in the place of target (created when it is missing),
  // keeping the target's exact name; its old content and attributes go into replacement. A
  // directory as target gives EACCES; a target whose cluster chain loops or leaves the volume
  // gives EIO before anything is changed.
  int Replace(std::string_view directory, std::string_view temporary, std::string_view target,
              ImageReplacement& replacement);

  // Brings back what Replace changed: the old content with its old attributes, crash-safe in the
  // same way, or no file where there was none. The new content goes back to the temporary name
  // it had; for a moment then the target is missing (a record of the command covers that).
  int Undo(const ImageReplacement& replacement, std::string_view temporary);

  // Renames or moves a file or directory, never replacing one: EEXIST when the target exists,
  // also under a name that differs only in case. (mtools cannot move a file into a subdirectory
  // under a new name that holds "[".)
  int Rename(std::string_view from, std::string_view to);

  int Remove(std::string_view path);

  // Removes the temporary files of our pattern in directory that this object did not write: a
  // writer holds the lock while its own exist, so under the lock every other one is stale. One
  // that shares its clusters with another entry (left by an mtools program cut off halfway) is
  // kept, as removing it would free the other entry's content.
  int RemoveStaleTemporaryFiles(std::string_view directory);

  // The programs of mtools run so far, for the benchmarks.
  unsigned long MtoolsCalls() const { return mtools_->Calls(); }

 private:
  using Folders = ImageVolumeCache::Folders;
  using Listing = ImageVolumeCache::Listing;
  struct Path {
    Folders directories;
    std::string name;  // empty for the root
  };
  // An entry found in its directory's listing; error when there is none.
  struct Listed {
    int error = 0;
    const Listing* listing = nullptr;  // the directory's, when it exists
    const ImageVolumeCache::Entry* entry = nullptr;
    // The entry as mtools takes it literally, in its directory.
    std::string VolumePath() const;
  };
  // Each public call that may run a program of mtools holds one: what the call opened and nothing
  // keeps is closed when it ends. An export that cannot be made ends the call with
  // kUnexplainedFailure, or, for the outermost call that begins a change, with the Error that says
  // why.
  class Call {
   public:
    explicit Call(ImageVolume& volume, bool beginsChange = false);
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    ImageVolume& volume_;
  };
  enum class Access { kRead, kChange };
  // The largest listing of one directory: some ten thousand entries.
  static constexpr size_t kListingLimit = size_t{4} << 20;

  // The disk as mtools reads it: the image itself, or its export, made for the access first.
  int View(Access access);
  void CloseView();
  // After a call: what no lock and no session keeps is closed.
  void Settle();
  void ReleaseLock();
  // The descriptors that the programs of mtools keep open: the lock, the export's keep-alive pipe.
  void KeepOpenInPrograms();
  // Throws ImageInUseError when another process holds the image (looked at through fd) or writes
  // or locks another of its files (one that it builds on: writes it).
  void RefuseIfInUse(int fd) const;
  MtoolsResult Run(Access access, std::string_view program,
                   const std::vector<std::string>& arguments, std::string_view input = {},
                   size_t outputLimit = 1 << 20);

  static std::optional<Folders> ParseFolders(std::string_view text);
  static std::optional<Path> ParsePath(std::string_view text);
  int Flush();
  // The directory's listing, from the cache or read with mattrib.
  const Listing* ListDirectory(const Folders& directories, int& error);
  // The entry of an existing file or folder in its directory's listing, with its exact name.
  Listed FindListed(const Path& path);
  // The bytes of a file read with mtype, or why not.
  BytesRead ReadFromVolume(const Path& path, size_t limit);
  int Swap(const Folders& directories, const std::string& temporary, const std::string& target);

  std::filesystem::path image_;
  std::string name_;  // the image file's name in messages, code page 1252
  std::chrono::milliseconds timeout_;
  Descriptor fd_;           // the image, for mtools and the flushes when it is raw
  Descriptor lockFd_;       // while locked: the image opened anew, holding the lock
  Descriptor machineLock_;  // the machine's lock file, where the image's file system has no locks
  bool locked_ = false;
  int calls_ = 0;                          // public calls under way
  bool viewErrorsThrow_ = false;           // in the outermost of them
  std::optional<ContainerFormat> format_;  // another emulator's format, read through an export
  ImageFiles files_;                       // its layers and files, checked
  std::unique_ptr<ImageExport> export_;
  FatVolumeLocation location_;
  std::unique_ptr<Mtools> mtools_;
  ImageVolumeCache cache_;
  std::set<std::string> ownTemporaries_;  // their directory and name, in capitals
};

}  // namespace startgarten::platform
