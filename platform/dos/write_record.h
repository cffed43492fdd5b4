#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/drive.h"

// The record that makes a command's files all old or all new across a crash. Before the first
// file is put in place, the command writes it durably in the root of drive C (beside the boot
// file, and where the command's lock is held): which new version, complete and flushed beside its
// file, goes where. It goes only after the last file is in place and the directories are
// flushed. So a record found at a start belongs to a command that was cut off while it put its
// files in place, and as every new version it names was complete before the record was written,
// the command can always be completed.
namespace startgarten::platform {

inline constexpr const char* kWriteRecordName = "SGRECORD.~~~";

struct RecordedFile {
  char letter = 'c';      // the drive, in lower case
  std::string path;       // the file, in the drive's spelling
  std::string temporary;  // where its new version waits, in the drive's spelling
  uint64_t size = 0;      // the new version's size and fingerprint, to know it again
  uint64_t fingerprint = 0;
  uint32_t attributes = 0;  // its DOS attributes

  bool operator==(const RecordedFile&) const = default;
};

// A 64-bit fingerprint of bytes (FNV-1a): what tells the new version from the old one.
uint64_t Fingerprint(std::string_view bytes);

std::string FormatWriteRecord(const std::vector<RecordedFile>& files);
// The files of a record in that form; none for anything else (another program's file, a later
// version's record, damaged bytes).
std::optional<std::vector<RecordedFile>> ParseWriteRecord(std::string_view text);

// Completes the command whose record lies on drive C, if there is one: each file whose new
// version still waits beside it is put in place, in the order the command did it, and the record
// is removed. Throws Error, touching nothing, when the record is not one of ours or names a file
// that is neither new nor has its new version beside it (a later program changed them), or when
// a file cannot be put in place: the record then stays, and writing waits until it is gone.
void CompleteInterruptedCommand(Drive& driveC);

}  // namespace startgarten::platform
