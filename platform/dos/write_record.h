#pragma once

#include <string>
#include <vector>

#include "platform/dos/write_record_text.h"
#include "platform/drives/drive.h"

// The record that makes a command's files all old or all new across a crash. Before the first
// file is put in place, the command writes it durably in the root of drive C (beside the boot
// file, and where the command's lock is held): which new version, complete and flushed beside its
// file, goes where. It goes only after the last file is in place and the directories are
// flushed. So a complete record found at a start belongs to a command that was cut off while it
// put its files in place, and as every new version it names was complete before the record was
// written, the command can always be completed. A record cut off before its end line was never
// complete on the disk, so no file was put in place after it: the command never began to change
// anything.
namespace startgarten::platform {

inline constexpr const char* kWriteRecordName = "SGRECORD.~~~";

// Completes the command whose record lies on drive C, if there is one. commandFiles are the DOS
// paths of the files that a write command of this program writes; a record may name only these,
// each at most once, with its new version under a temporary name of ours beside it and of a size
// that a command writes. Each file whose new version still waits beside it is put in place, in
// the order the command did it, and the record is removed. A record cut off before its end line
// is removed with the temporary files beside the command's files. Throws Error, touching
// nothing, when the record is not one of ours or names a file that is neither new nor has its
// new version beside it (a later program changed them), and Error naming the files that are new
// now when a file cannot be put in place: the record then stays, and writing waits until it is
// gone.
void CompleteInterruptedCommand(Drive& driveC, const std::vector<std::string>& commandFiles);

}  // namespace startgarten::platform
