#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dos/command_reads.h"
#include "platform/dos/dos_path.h"
#include "platform/windows/error.h"

namespace startgarten::platform {

// The largest file a command reads or writes whole, far above any real INI or batch file: a
// command stages nothing larger, so a record that names a larger new version is none of ours.
inline constexpr size_t kLargestCommandFile = size_t{16} << 20;

// The error texts for a file that cannot be written: when it cannot be created, and when its
// bytes cannot be put on disk.
struct FailureTexts {
  std::string create;
  std::string write;
};

// A file that a write set would write: its DOS path, its bytes on the drive now (none when there
// is no such file) and the bytes staged for it.
struct StagedChange {
  std::string dosPath;
  std::optional<std::string> before;
  std::string after;
};

// The files one command writes, all or nothing. While a write set is open, every file write of
// the platform (profile keys, whole files) only works out the file's new content, and every read
// sees that content. Commit then writes each new file beside its target, flushed and with its
// final attributes, and only when all exist records durably which goes where (write_record.h)
// and puts them in place, one replacement each: the file staged last first and the file staged
// first last, so that a command stages first the file that makes its change take effect. A
// failure before that point changes nothing; a failure while putting them in place takes back
// those already in place; a crash while putting them in place is completed at the next start.
// Until the write set is closed, a second writer of drive C, in this process or another, waits a
// few seconds and is then refused.
class WriteSet {
 public:
  // Locks drive C and completes a command of these files (DOS paths) that a crash interrupted
  // there. Throws Error when the lock is not taken (drive.h) or such a command cannot be completed
  // (write_record.h).
  explicit WriteSet(const std::vector<std::string>& commandFiles);
  // Drops what was not committed.
  ~WriteSet();
  WriteSet(const WriteSet&) = delete;
  WriteSet& operator=(const WriteSet&) = delete;

  // The open write set, or none.
  static WriteSet* Current();

  // Throws Error with the failing file's text, or messages::kWriteTakeBackFailed when a
  // failure could not be taken back. Nothing is left staged afterwards.
  void Commit();

  // The staged content of the file, or none.
  const std::string* Staged(const DosFile& file) const;
  // What this command has found on the drives so far.
  CommandReads& Reads() { return reads_; }
  // Stages the file's new content; texts are used when its writing fails at commit. Throws Error
  // with texts.write for content larger than kLargestCommandFile.
  void Stage(const DosFile& file, std::string bytes, NewAttributes attributes,
             const FailureTexts& texts);
  // What Commit would write, in the order of staging, with each file's bytes now (as this command
  // read it, else read from its drive). Writes nothing, and the set closed without Commit drops
  // what it staged: so a command is previewed. Throws Error with messages::kCannotOpenFile for a
  // file that is there but cannot be read.
  std::vector<StagedChange> StagedChanges() const;
  // Lets the file be replaced although it is read-only: it keeps its protection.
  void LiftProtection(const DosFile& file);
  bool IsProtectionLifted(const DosFile& file) const;

 private:
  struct Entry {
    DosFile file;
    std::string bytes;
    NewAttributes attributes;
    FailureTexts texts;
  };
  Entry* Find(const DosFile& file);
  std::vector<std::unique_ptr<PreparedFile>> PrepareAll() const;
  std::unique_ptr<PreparedFile> WriteRecord(
      Drive& driveC, const std::vector<std::unique_ptr<PreparedFile>>& prepared) const;
  Error TakeBackFailed(const std::vector<std::unique_ptr<PreparedFile>>& prepared, size_t firstNew,
                       size_t endNew) const;
  // Takes back the files in place after a failure and throws the failed file's write text.
  [[noreturn]] void Abandon(Drive& driveC, PreparedFile& record,
                            std::vector<std::unique_ptr<PreparedFile>>& prepared,
                            size_t firstInPlace, const Entry& failed) const;

  std::unique_ptr<DriveLock> lock_;
  WriteSet* previous_;
  std::vector<Entry> entries_;  // in the order of their first staging
  std::vector<DosFile> lifted_;
  CommandReads reads_;
};

// The file a DOS path names, as every file function finds it: within an open write set as the
// set resolved it first in this command, else resolved afresh (ResolveDosPath).
DosFile LocateFile(std::string_view dosPath);

// Stages the file's content in the open write set, or writes it at once when none is open.
// Throws Error with texts.create or texts.write when that fails.
void WriteFileContent(const DosFile& file, std::string bytes, NewAttributes attributes,
                      const FailureTexts& texts);

// The content of the file as the open write set would leave it.
ReadFileResult ReadCurrentContent(const DosFile& file, size_t limit);

// Lets the open write set replace this file although it is read-only (no effect without one).
void LiftProtection(std::string_view dosPath);

// Completes a command of these files (DOS paths) that a crash interrupted, then removes what
// interrupted writes left beside them and in the root of drive C, waiting for a running writer.
// Throws Error when the command cannot be completed: nothing is removed then.
void CleanUpInterruptedWrites(const std::vector<std::string>& commandFiles);

}  // namespace startgarten::platform
