#include "platform/dos/write_set.h"

#include <cstring>
#include <optional>
#include <set>

#include "platform/dos/write_record.h"
#include "platform/drives/drive_path.h"
#include "platform/drives/temporary_names.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

WriteSet* current = nullptr;

std::string RecordDosPath() {
  return std::string("C:\\") + kWriteRecordName;
}

// Makes the renames in the directories of the files durable, each directory once, except those
// whose key is in done; returns the index of a file whose directory failed.
std::optional<size_t> SyncDirectories(const std::vector<std::unique_ptr<PreparedFile>>& files,
                                      std::set<std::string> done = {}) {
  std::optional<size_t> failed;
  for (size_t i = files.size(); i-- > 0;) {
    if (done.insert(files[i]->DirectoryKey()).second && files[i]->SyncDirectory() != 0)
      failed = failed.value_or(i);
  }
  return failed;
}

}  // namespace

// A write set opened inside another shares its lock: a second lock of the same drive would wait
// for the first. What a crash left half done is completed under the lock, before the command
// reads anything.
WriteSet::WriteSet(const std::vector<std::string>& commandFiles) : previous_(current) {
  if (!previous_) {
    if (const std::shared_ptr<Drive> driveC = DriveFor('c')) {
      lock_ = driveC->LockForWriting();
      CompleteInterruptedCommand(*driveC, commandFiles);
    }
  }
  current = this;
}

WriteSet::~WriteSet() {
  current = previous_;
}

WriteSet* WriteSet::Current() {
  return current;
}

// "c:\autoexec.bat" and "C:\autoexec.bat" name one file; names that differ in case may not
// (the exact spelling is found first).
const DosFile& WriteSet::Locate(std::string_view dosPath) {
  std::string key(dosPath);
  if (!key.empty()) key[0] = ToUpperCp1252(key[0]);
  if (const auto found = located_.find(key); found != located_.end()) return found->second;
  DosFile file = ResolveDosPath(dosPath);
  file.dosPath = key;
  return located_.emplace(key, std::move(file)).first->second;
}

DosFile LocateFile(std::string_view dosPath) {
  WriteSet* writes = WriteSet::Current();
  return writes ? writes->Locate(dosPath) : ResolveDosPath(dosPath);
}

WriteSet::Entry* WriteSet::Find(const DosFile& file) {
  for (Entry& entry : entries_) {
    if (entry.file.SameFile(file)) return &entry;
  }
  return nullptr;
}

const std::string* WriteSet::Staged(const DosFile& file) const {
  for (const Entry& entry : entries_) {
    if (entry.file.SameFile(file)) return &entry.bytes;
  }
  return nullptr;
}

void WriteSet::Stage(const DosFile& file, std::string bytes, NewAttributes attributes,
                     const FailureTexts& texts) {
  if (bytes.size() > kLargestCommandFile) throw Error(texts.write);
  if (Entry* entry = Find(file)) {
    entry->bytes = std::move(bytes);
    entry->attributes = attributes;
    return;
  }
  entries_.push_back({file, std::move(bytes), attributes, texts});
}

const std::string* WriteSet::Read(const DosFile& file) const {
  for (const auto& [read, bytes] : reads_) {
    if (read.SameFile(file)) return &bytes;
  }
  return nullptr;
}

const std::string& WriteSet::KeepRead(const DosFile& file, std::string_view bytes) {
  return reads_.emplace_back(file, std::string(bytes)).second;
}

void WriteSet::LiftProtection(const DosFile& file) {
  if (!IsProtectionLifted(file)) lifted_.push_back(file);
}

bool WriteSet::IsProtectionLifted(const DosFile& file) const {
  for (const DosFile& lifted : lifted_) {
    if (lifted.SameFile(file)) return true;
  }
  return false;
}

std::vector<std::unique_ptr<PreparedFile>> WriteSet::PrepareAll() const {
  std::vector<std::unique_ptr<PreparedFile>> prepared;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    Preparation preparation = entry.file.drive->Prepare(entry.file.path, entry.bytes,
                                                        entry.attributes, static_cast<unsigned>(i));
    if (preparation.failure != WriteFailure::kNone) {
      throw Error(preparation.failure == WriteFailure::kCreate ? entry.texts.create
                                                               : entry.texts.write);
    }
    prepared.push_back(std::move(preparation.file));
  }
  return prepared;
}

// The record is written like any file, beside where it goes; before it takes its name, the names
// of the new versions it points to are made durable (its own directory's with its own name).
std::unique_ptr<PreparedFile> WriteSet::WriteRecord(
    Drive& driveC, const std::vector<std::unique_ptr<PreparedFile>>& prepared) const {
  std::vector<RecordedFile> files;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    files.push_back({static_cast<char>(entry.file.dosPath.at(0) | 0x20), entry.file.path,
                     prepared[i]->TemporaryPath(), entry.bytes.size(), Fingerprint(entry.bytes),
                     prepared[i]->Attributes()});
  }
  const std::string recordPath = RecordDosPath();
  const std::string cannotWrite = FormatMessageText(messages::kCannotWriteTo, recordPath);
  Preparation record = driveC.Prepare(kWriteRecordName, FormatWriteRecord(files),
                                      NewAttributes::kNormal, kRecordIndex);
  if (record.failure != WriteFailure::kNone) {
    throw Error(record.failure == WriteFailure::kCreate
                    ? FormatMessageText(messages::kCannotCreateFile, recordPath)
                    : cannotWrite);
  }
  if (const std::optional<size_t> failed =
          SyncDirectories(prepared, {record.file->DirectoryKey()})) {
    throw Error(entries_[*failed].texts.write);
  }
  // A record that may be in place but cannot be removed again has the next start complete the
  // command, which the message says.
  const auto withdraw = [&](bool inPlace) {
    if (inPlace && driveC.Remove(kWriteRecordName) != kErrorSuccess)
      throw TakeBackFailed(prepared, 0, 0);
    return Error(cannotWrite);
  };
  if (record.file->PutInPlace() != kErrorSuccess)
    throw withdraw(record.file->TakeBack() != kErrorSuccess);
  if (record.file->SyncDirectory() != kErrorSuccess) throw withdraw(true);
  return std::move(record.file);
}

void WriteSet::Commit() {
  if (entries_.empty()) return;
  // Nothing stays staged, whatever happens.
  struct Clear {
    std::vector<Entry>& entries;
    ~Clear() { entries.clear(); }
  } clear{entries_};
  const std::shared_ptr<Drive> driveC = DriveFor('c');
  if (!driveC) throw Error(FormatMessageText(messages::kCannotCreateFile, RecordDosPath()));

  std::vector<std::unique_ptr<PreparedFile>> prepared = PrepareAll();
  const std::unique_ptr<PreparedFile> record = WriteRecord(*driveC, prepared);
  for (size_t i = prepared.size(); i-- > 0;) {
    if (prepared[i]->PutInPlace() != kErrorSuccess)
      Abandon(*driveC, *record, prepared, i, entries_[i]);
  }
  // A write reported done is on disk; where that cannot be made sure, it is taken back.
  if (const std::optional<size_t> unsynced = SyncDirectories(prepared))
    Abandon(*driveC, *record, prepared, 0, entries_[*unsynced]);
  // Every file is new and on disk. The old versions go, then the record: a record that outlives
  // them, or that cannot be removed, has the next command or start find every file new.
  for (const std::unique_ptr<PreparedFile>& file : prepared) file->RemoveOldVersion();
  driveC->Remove(kWriteRecordName);
}

// The files from firstNew to endNew are new, the others old. Nothing else is tried: the record
// has the next start complete the command, from the new versions in place and those waiting beside
// their files.
Error WriteSet::TakeBackFailed(const std::vector<std::unique_ptr<PreparedFile>>& prepared,
                               size_t firstNew, size_t endNew) const {
  std::string added;
  std::string kept;
  for (size_t i = 0; i < entries_.size(); ++i) {
    std::string& list = i >= firstNew && i < endNew ? added : kept;
    list += (list.empty() ? "" : ", ") + entries_[i].file.dosPath;
  }
  for (const std::unique_ptr<PreparedFile>& file : prepared) file->KeepForNextStart();
  return Error{FormatMessageText(messages::kWriteTakeBackFailed,
                                 added.empty() ? messages::kNoFiles : added,
                                 kept.empty() ? messages::kNoFiles : kept)};
}

void WriteSet::Abandon(Drive& driveC, PreparedFile& record,
                       std::vector<std::unique_ptr<PreparedFile>>& prepared, size_t firstInPlace,
                       const Entry& failed) const {
  // The files from firstInPlace on are in place, the one put in place last first.
  for (size_t i = firstInPlace; i < prepared.size(); ++i) {
    if (prepared[i]->TakeBack() != kErrorSuccess)
      throw TakeBackFailed(prepared, i, prepared.size());
  }
  // The record stays until the take-back is on the disk: a power cut may keep the one and lose the
  // other. It goes durably before the new versions do: found without them, it could not be
  // completed, so they stay beside their files when its removal may not be on the disk.
  if (SyncDirectories(prepared) || driveC.Remove(kWriteRecordName) != kErrorSuccess)
    throw TakeBackFailed(prepared, 0, 0);
  if (record.SyncDirectory() != kErrorSuccess) {
    for (const std::unique_ptr<PreparedFile>& file : prepared) file->KeepForNextStart();
  }
  throw Error(failed.texts.write);
}

void WriteFileContent(const DosFile& file, std::string bytes, NewAttributes attributes,
                      const FailureTexts& texts) {
  if (WriteSet* writes = WriteSet::Current()) {
    writes->Stage(file, std::move(bytes), attributes, texts);
    return;
  }
  WriteSet once({file.dosPath});
  once.Stage(file, std::move(bytes), attributes, texts);
  once.Commit();
}

ReadFileResult ReadCurrentContent(const DosFile& file, size_t limit) {
  WriteSet* writes = WriteSet::Current();
  const std::string* content = writes ? writes->Staged(file) : nullptr;
  if (!content && writes) content = writes->Read(file);
  if (!content) {
    ReadFileResult read = file.drive->ReadFile(file.path, limit);
    if (!writes || read.error || read.tooLarge) return read;
    content = &writes->KeepRead(file, read.bytes);
  }
  ReadFileResult result;
  if (content->size() > limit) {
    result.tooLarge = true;
    return result;
  }
  result.bytes.Resize(content->size());
  if (!content->empty()) std::memcpy(result.bytes.Room(), content->data(), content->size());
  return result;
}

void LiftProtection(std::string_view dosPath) {
  WriteSet* writes = WriteSet::Current();
  if (!writes) return;
  const DosFile file = LocateFile(dosPath);
  if (!file.error) writes->LiftProtection(file);
}

void CleanUpInterruptedWrites(const std::vector<std::string>& commandFiles) {
  const std::shared_ptr<Drive> driveC = DriveFor('c');
  if (!driveC) return;
  const std::unique_ptr<DriveLock> lock = driveC->LockForWriting();
  CompleteInterruptedCommand(*driveC, commandFiles);
  driveC->RemoveTemporaryFiles("");
  for (const std::string& dosPath : commandFiles) {
    const DosFile file = LocateFile(dosPath);
    if (!file.error) file.drive->RemoveTemporaryFiles(SplitDrivePath(file.path).first);
  }
}

}  // namespace startgarten::platform
