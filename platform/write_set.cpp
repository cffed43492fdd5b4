#include "platform/write_set.h"

#include <cstring>
#include <functional>
#include <optional>
#include <set>

#include "platform/error.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

WriteSet* current = nullptr;

std::unique_ptr<DriveLock> LockDriveC() {
  const std::shared_ptr<Drive> drive = DriveFor('c');
  return drive ? drive->LockForWriting() : nullptr;
}

// Takes back the files in place from firstInPlace on, the one put in place last first.
void TakeBack(std::vector<std::unique_ptr<PreparedFile>>& prepared, size_t firstInPlace) {
  for (size_t i = firstInPlace; i < prepared.size(); ++i) prepared[i]->TakeBack();
}

void SyncDirectories(std::vector<std::unique_ptr<PreparedFile>>& prepared,
                     const std::function<void(size_t)>& onFailure) {
  std::set<std::string> synced;
  for (size_t i = prepared.size(); i-- > 0;) {
    if (synced.insert(prepared[i]->DirectoryKey()).second && prepared[i]->SyncDirectory() != 0)
      onFailure(i);
  }
}

}  // namespace

// A write set opened inside another shares its lock: a second lock of the same drive would wait
// for the first.
WriteSet::WriteSet() : lock_(current ? nullptr : LockDriveC()), previous_(current) {
  current = this;
}

WriteSet::~WriteSet() {
  current = previous_;
}

WriteSet* WriteSet::Current() {
  return current;
}

const DosFile& WriteSet::Locate(std::string_view dosPath) {
  if (const auto found = located_.find(dosPath); found != located_.end()) return found->second;
  return located_.emplace(std::string(dosPath), LocateDosPath(dosPath)).first->second;
}

DosFile LocateFile(std::string_view dosPath) {
  WriteSet* writes = WriteSet::Current();
  return writes ? writes->Locate(dosPath) : LocateDosPath(dosPath);
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
  if (Entry* entry = Find(file)) {
    entry->bytes = std::move(bytes);
    entry->attributes = attributes;
    return;
  }
  entries_.push_back({file, std::move(bytes), attributes, texts});
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

void WriteSet::Commit() {
  std::vector<Entry> entries = std::move(entries_);
  entries_.clear();
  std::vector<std::unique_ptr<PreparedFile>> prepared;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    Preparation preparation = entry.file.drive->Prepare(entry.file.entry.path, entry.bytes,
                                                        entry.attributes, static_cast<unsigned>(i));
    if (preparation.failure != WriteFailure::kNone) {
      throw Error(preparation.failure == WriteFailure::kCreate ? entry.texts.create
                                                               : entry.texts.write);
    }
    prepared.push_back(std::move(preparation.file));
  }
  for (size_t i = prepared.size(); i-- > 0;) {
    if (prepared[i]->PutInPlace() != kErrorSuccess) {
      TakeBack(prepared, i);
      throw Error(entries[i].texts.write);
    }
  }
  // A write reported done is on disk; where that cannot be made sure, it is taken back.
  std::optional<size_t> unsynced;
  SyncDirectories(prepared, [&](size_t i) { unsynced = unsynced.value_or(i); });
  if (unsynced) {
    TakeBack(prepared, 0);
    SyncDirectories(prepared, [](size_t) {});
    throw Error(entries[*unsynced].texts.write);
  }
  for (const std::unique_ptr<PreparedFile>& file : prepared) file->RemoveOldVersion();
}

void WriteFileContent(const DosFile& file, std::string bytes, NewAttributes attributes,
                      const FailureTexts& texts) {
  if (WriteSet* writes = WriteSet::Current()) {
    writes->Stage(file, std::move(bytes), attributes, texts);
    return;
  }
  WriteSet once;
  once.Stage(file, std::move(bytes), attributes, texts);
  once.Commit();
}

ReadFileResult ReadCurrentContent(const DosFile& file, size_t limit) {
  const WriteSet* writes = WriteSet::Current();
  const std::string* staged = writes ? writes->Staged(file) : nullptr;
  if (!staged) return file.drive->ReadFile(file.entry.path, limit);
  ReadFileResult result;
  if (staged->size() > limit) {
    result.tooLarge = true;
    return result;
  }
  result.bytes.Resize(staged->size());
  if (!staged->empty()) std::memcpy(result.bytes.Room(), staged->data(), staged->size());
  return result;
}

void LiftProtection(std::string_view dosPath) {
  WriteSet* writes = WriteSet::Current();
  if (!writes) return;
  const DosFile& file = writes->Locate(dosPath);
  if (!file.error) writes->LiftProtection(file);
}

void RemoveTemporaryFiles(const std::vector<std::string>& dosDirectories) {
  const std::unique_ptr<DriveLock> lock = LockDriveC();
  for (const std::string& directory : dosDirectories) {
    const DosFile file = LocateDosPath(directory);
    if (!file.error) file.drive->RemoveTemporaryFiles(file.entry.path);
  }
}

}  // namespace startgarten::platform
