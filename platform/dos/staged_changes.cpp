// The preview of a write set: what its commit would write, beside what is there now.
#include "platform/dos/write_set.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

// The most bytes of a file as it is now that a preview shows: far beyond any boot or batch file.
constexpr size_t kMostBytesBefore = size_t{16} << 20;

}  // namespace

std::vector<StagedChange> WriteSet::StagedChanges() const {
  std::vector<StagedChange> changes;
  for (const Entry& entry : entries_) {
    StagedChange& change = changes.emplace_back(StagedChange{entry.file.dosPath, {}, entry.bytes});
    if (const std::string* read = reads_.Read(entry.file)) {
      change.before = *read;
      continue;
    }
    const ReadFileResult now = entry.file.drive->ReadFile(entry.file.path, kMostBytesBefore);
    if (now.error == kErrorFileNotFound) continue;
    if (now.error != kErrorSuccess || now.tooLarge)
      throw Error(FormatMessageText(messages::kCannotOpenFile, entry.file.dosPath));
    change.before = std::string(now.bytes);
  }
  return changes;
}

}  // namespace startgarten::platform
