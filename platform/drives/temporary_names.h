#pragma once

#include <string>
#include <string_view>

// Names of the files a write leaves beside its targets until it has put them in place. They are
// unique per process and valid 8.3 names, so they exist on every FAT file system: "SG", the
// process id in six hexadecimal digits, ".~" and the file's number within the command in two.
namespace startgarten::platform {

// The numbers below kOldVersionIndex are the files of one command, in the order it stages them.
// Where a file system cannot exchange two names, the old version of file n waits under the number
// kOldVersionIndex + n until the command is done. The command's record is written under
// kRecordIndex first.
inline constexpr unsigned kOldVersionIndex = 0x40;
// Where a disk image needs a letter among the digits of a new version's name
// (image/temporary_name_case.cpp), file n of the command is numbered kLetteredIndex + n instead.
inline constexpr unsigned kLetteredIndex = 0xA0;
inline constexpr unsigned kRecordIndex = 0xFE;

std::string TemporaryName(unsigned index);

// Whether name (any letter case) is such a name of any process, or "<name>.startgarten-new" as
// earlier versions named their temporary files.
bool IsTemporaryName(std::string_view name);

// Whether name (any letter case) is such a name of any process for a file's new version: a
// number below kOldVersionIndex, or from kLetteredIndex on below kOldVersionIndex more.
bool IsNewVersionName(std::string_view name);

}  // namespace startgarten::platform
