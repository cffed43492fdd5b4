#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bootfile/ini_file.h"
#include "platform/windows/message_box.h"

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

// The DOS path of the boot file, on the host boot drive that "HOSTWINBOOTDRV" in c:\msdos.sys
// names. When the drive is not named, shows the host drive box (messages::kHostDriveNotFoundText)
// and returns none.
std::optional<std::string> FindBootFile(MessageBoxService& boxes);

// Opens the boot file at path. Throws messages::kCannotOpenFile when there is none: it is never
// created.
std::unique_ptr<TBootFile> OpenBootFile(std::string path);

// Finds the boot file and opens it; nullptr after the host drive box.
std::unique_ptr<TBootFile> OpenBootFile(MessageBoxService& boxes);

// Releases the accessor.
inline void CloseBootFile(std::unique_ptr<TBootFile>& bootFile) {
  bootFile.reset();
}

// The DOS paths of the files that the write command writes: the boot file, where c:\msdos.sys
// names its drive, and the batch files (StartScriptFiles).
std::vector<std::string> WriteCommandFiles();

// Completes a write command that a crash cut off, then removes what an interrupted one left beside
// the files it writes, in the roots of drive C and of the host boot drive and in the Windows
// directory. Throws Error when the command cannot be completed: nothing is removed then.
void RemoveLeftoversOfInterruptedWrites();

}  // namespace startgarten
