// A write set's commit: every new version beside its file, the record, the replacements, and the
// take-back of those in place when one fails.
#include <optional>
#include <set>

#include "platform/dos/write_record.h"
#include "platform/dos/write_set.h"
#include "platform/drives/temporary_names.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

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

}  // namespace startgarten::platform
