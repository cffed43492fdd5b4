#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text of the record that makes a command's files all old or all new across a crash
// (write_record.h): a header line, one line for each file, and an end line. The end line is the
// record's commit point: a record that lacks it was cut off before the command put any file in
// place.
namespace startgarten::platform {

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

// The files of a complete record in that form; none for anything else (another program's file, a
// later version's record, damaged bytes, a record cut off).
std::optional<std::vector<RecordedFile>> ParseWriteRecord(std::string_view text);

// Whether the text is the beginning of a record in that form that stops before its end line:
// empty, or cut off anywhere, with nothing but NUL bytes after the cut (where a file's size
// reached the disk before its bytes). A file of the record's name that holds anything else is
// not this program's to remove.
bool IsCutOffWriteRecord(std::string_view text);

}  // namespace startgarten::platform
