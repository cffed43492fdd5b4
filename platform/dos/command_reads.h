#pragma once

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/dos/dos_path.h"

namespace startgarten::platform {

// What one command has found on the drives: each DOS path resolved once and each file read once.
// Nothing moves or changes on the drives while the command holds their lock, and a command names
// its few files many times (every profile key reads its file again).
class CommandReads {
 public:
  // The file the DOS path names, as this command resolved it first.
  const DosFile& Locate(std::string_view dosPath);
  // The file's content as this command read it from the drive, or none.
  const std::string* Read(const DosFile& file) const;
  // Keeps the content read from the drive for the rest of the command.
  const std::string& Keep(const DosFile& file, std::string_view bytes);

 private:
  std::map<std::string, DosFile, std::less<>> located_;
  std::deque<std::pair<DosFile, std::string>> reads_;  // a deque keeps each read where it is
};

}  // namespace startgarten::platform
