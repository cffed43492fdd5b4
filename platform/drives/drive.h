#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows/file_types.h"

// A drive: the file system that a drive letter stands for. Paths on a drive are relative to its
// root, "/"-separated and spelled as the drive itself spells them ("WINDOWS/LOGOS.SYS",
// drive_path.h); every operation stays beneath the root.
namespace startgarten::platform {

// Where a path of DOS names leads on a drive.
struct ResolvedPath {
  uint32_t error = 0;  // a Windows error code; 0 when a file is there or may be created there
  std::string path;    // the drive's spelling; "" for the root
};

struct FileStatus {
  bool exists = false;
  bool regular = false;
  uint32_t attributes = kInvalidFileAttributes;  // DOS attributes, when it exists
};

// How a replacement's new file is given its attributes.
enum class NewAttributes {
  kKeep,    // exactly those of the file it replaces: owner, permissions, DOS attributes
  kNormal,  // those of a file created anew: read-only, hidden and system cleared
};

// A new version of a file, written in full beside it under a temporary name, flushed, with its
// final attributes. Destroying one that is beside its file (not put in place, or taken back)
// removes it.
class PreparedFile {
 public:
  virtual ~PreparedFile() = default;
  // Puts the new version in place of the file. The old version stays on the drive until
  // RemoveOldVersion, so that TakeBack can undo this. Returns a Windows error code; a failure
  // may leave the new version in place all the same (TakeBack then undoes it).
  virtual uint32_t PutInPlace() = 0;
  // Puts the old version back when the new one is in place. Where the drive can do so without a
  // moment in which the file is missing, the new version waits beside it again under its
  // temporary name.
  virtual uint32_t TakeBack() = 0;
  // Makes the new names in the file's directory durable.
  virtual uint32_t SyncDirectory() = 0;
  // The directory, to sync each only once: equal for files of one directory of one drive.
  virtual std::string DirectoryKey() const = 0;
  virtual void RemoveOldVersion() = 0;
  // Where the new version waits beside its file, in the drive's spelling.
  virtual std::string TemporaryPath() const = 0;
  // The attributes (read-only, hidden, system, archive) that the new version's FAT directory
  // entry must end with, where the drive keeps them in one (a FAT mount, a disk image); 0
  // elsewhere.
  virtual uint32_t Attributes() const = 0;
  // Leaves the new version where it waits when the object is destroyed: a record names it, for
  // the next start to put in place.
  virtual void KeepForNextStart() = 0;
};

struct Preparation {
  WriteFailure failure = WriteFailure::kNone;
  uint32_t error = 0;
  std::unique_ptr<PreparedFile> file;
};

// A version of a file that a start found where an interrupted command left it: read once and
// held, so that the file put in place is the file whose bytes were read, never another one found
// again by its name.
class FoundVersion {
 public:
  virtual ~FoundVersion() = default;
  // Its bytes as read (error or tooLarge when it could not be read whole).
  virtual const ReadFileResult& Read() const = 0;
  // Puts it in place of its file (replacing it; nothing moves when it is there already), gives it
  // the attributes it was prepared with (PreparedFile::Attributes) where the drive could have lost
  // them on the way (a FAT driver that sets the hidden bit from the name), and makes the change
  // durable. Moves nothing when its name no longer leads to the file that was read.
  virtual uint32_t PutInPlace(uint32_t attributes) = 0;
};

// Held while one command writes: a second writer waits a few seconds for its release.
class DriveLock {
 public:
  virtual ~DriveLock() = default;
};

class Drive {
 public:
  virtual ~Drive() = default;

  // The drive's path for a path of valid DOS names (code page 1252), each matched without regard
  // to case when no exact match exists. Every folder on the way must exist; the last name need
  // not, so that a file can be created there: whether it exists, Status tells. A link that leads
  // off the drive is not followed (kErrorFileNotFound, or kErrorPathNotFound on the way).
  virtual ResolvedPath Resolve(const std::vector<std::string_view>& names) = 0;
  virtual FileStatus Status(const std::string& path) = 0;
  virtual ReadFileResult ReadFile(const std::string& path, size_t limit) = 0;
  // Renames a file within the drive, never replacing one.
  virtual uint32_t Rename(const std::string& from, const std::string& to) = 0;
  // Writes bytes as the new version of path (index tells apart the files of one command).
  virtual Preparation Prepare(const std::string& path, std::string_view bytes,
                              NewAttributes attributes, unsigned index) = 0;
  // Takes the lock of the drive's one writer (writer_lock.h), waiting a few seconds for another
  // holder. Throws Error when it is not taken: nothing may then be written.
  virtual std::unique_ptr<DriveLock> LockForWriting() = 0;
  // A version of the file at path that a command interrupted by a crash left under name in the
  // same directory (its own name, or a temporary one), read up to limit bytes and held for the
  // completion (FoundVersion).
  virtual std::unique_ptr<FoundVersion> FindVersion(const std::string& path,
                                                    const std::string& name, size_t limit) = 0;
  virtual uint32_t Remove(const std::string& path) = 0;
  // Removes what an interrupted write left in the directory.
  virtual void RemoveTemporaryFiles(const std::string& directory) = 0;
  // Whether the folder or image file it was opened on has been removed since (a new one of the
  // same name may then have its device and inode numbers).
  virtual bool IsGone() const = 0;
};

}  // namespace startgarten::platform
