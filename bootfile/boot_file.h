#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bootfile/ini_file.h"
#include "platform/message_box.h"

namespace startgarten {

// The boot file MSDOS.SYS of the host boot drive, open for reading or writing. It stays read-only,
// hidden and system on disk throughout: within the open write set it may be replaced all the
// same, and its replacement keeps that protection.
class TBootFile {
 public:
  explicit TBootFile(std::string path);

  const std::string& Path() const { return path_; }
  const TIniFile& Ini() const { return ini_; }

 private:
  std::string path_;
  TIniFile ini_;
};

// Finds the host boot drive through "HOSTWINBOOTDRV" in c:\msdos.sys and opens its boot file.
// When the drive is not named, shows the host drive box (messages::kHostDriveNotFoundText) and
// returns nullptr. Throws messages::kCannotOpenFile when the drive has no boot file: it is never
// created.
std::unique_ptr<TBootFile> OpenBootFile(MessageBoxService& boxes);

// Releases the accessor.
inline void CloseBootFile(std::unique_ptr<TBootFile>& bootFile) {
  bootFile.reset();
}

// Completes a write command that a crash cut off, then removes what an interrupted one left beside
// the files it writes, in the roots of drive C and of the host boot drive and in the Windows
// directory. Throws Error when the command cannot be completed: nothing is removed then.
void RemoveLeftoversOfInterruptedWrites();

}  // namespace startgarten
