#include "platform/dos/command_reads.h"

#include "platform/windows/cp1252.h"

namespace startgarten::platform {

// "c:\autoexec.bat" and "C:\autoexec.bat" name one file; names that differ in case may not
// (the exact spelling is found first).
const DosFile& CommandReads::Locate(std::string_view dosPath) {
  std::string key(dosPath);
  if (!key.empty()) key[0] = ToUpperCp1252(key[0]);
  if (const auto found = located_.find(key); found != located_.end()) return found->second;
  DosFile file = ResolveDosPath(dosPath);
  file.dosPath = key;
  return located_.emplace(key, std::move(file)).first->second;
}

const std::string* CommandReads::Read(const DosFile& file) const {
  for (const auto& [read, bytes] : reads_) {
    if (read.SameFile(file)) return &bytes;
  }
  return nullptr;
}

const std::string& CommandReads::Keep(const DosFile& file, std::string_view bytes) {
  return reads_.emplace_back(file, std::string(bytes)).second;
}

}  // namespace startgarten::platform
