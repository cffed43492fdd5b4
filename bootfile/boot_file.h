#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bootfile/ini_file.h"
#include "platform/message_box.h"

namespace startgarten {

// The boot file MSDOS.SYS of the host boot drive, open for reading or writing: its read-only,
// hidden and system attributes are lowered for as long as this object lives.
class TBootFile {
 public:
  TBootFile(std::string path, uint16_t savedAttributes);
  // Puts the saved attributes back, also when an error ends the command early.
  ~TBootFile();
  TBootFile(const TBootFile&) = delete;
  TBootFile& operator=(const TBootFile&) = delete;

  const std::string& Path() const { return path_; }
  const TIniFile& Ini() const { return ini_; }

 private:
  std::string path_;
  uint16_t savedAttributes_;
  TIniFile ini_;
};

// Finds the host boot drive through "HOSTWINBOOTDRV" in c:\msdos.sys and opens its boot file,
// giving it the attribute word of c:\msdos.sys with the protective bits cleared. When the drive
// is not named, shows the host drive box (messages::kHostDriveNotFoundText) and returns nullptr.
std::unique_ptr<TBootFile> OpenBootFile(MessageBoxService& boxes);

// Releases the accessor and restores the boot file's attributes.
inline void CloseBootFile(std::unique_ptr<TBootFile>& bootFile) {
  bootFile.reset();
}

}  // namespace startgarten
