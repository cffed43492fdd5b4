#pragma once

#include <string>
#include <string_view>

// The name of a temporary file on an image's volume, written in the letter case of the file it will
// replace.
namespace startgarten::platform {

// The temporary file's name, in the letter case of target's short name. A short name in small
// letters has no long name: the directory entry's case byte says which of its parts are small
// (as Windows NT writes them), mtools sets those bits for a new name written so, and a swap keeps
// the bits of the file that takes the name. So the temporary name is written as target is. An
// extension in small letters needs a letter among the temporary extension's digits: the index is
// moved to kLetteredIndex and on, past those of a command's files. A target with a long name keeps
// that.
std::string TemporaryNameInCaseOf(unsigned index, std::string_view target);

}  // namespace startgarten::platform
