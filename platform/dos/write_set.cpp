#include "platform/dos/write_set.h"

#include <cstring>

#include "platform/dos/write_record.h"
#include "platform/drives/drive_path.h"
#include "platform/windows/error.h"

namespace startgarten::platform {

namespace {

WriteSet* current = nullptr;

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

DosFile LocateFile(std::string_view dosPath) {
  WriteSet* writes = WriteSet::Current();
  return writes ? writes->Reads().Locate(dosPath) : ResolveDosPath(dosPath);
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

void WriteSet::LiftProtection(const DosFile& file) {
  if (!IsProtectionLifted(file)) lifted_.push_back(file);
}

bool WriteSet::IsProtectionLifted(const DosFile& file) const {
  for (const DosFile& lifted : lifted_) {
    if (lifted.SameFile(file)) return true;
  }
  return false;
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
  if (!content && writes) content = writes->Reads().Read(file);
  if (!content) {
    ReadFileResult read = file.drive->ReadFile(file.path, limit);
    if (!writes || read.error || read.tooLarge) return read;
    content = &writes->Reads().Keep(file, read.bytes);
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
