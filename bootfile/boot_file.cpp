#include "bootfile/boot_file.h"

#include "platform/file_attributes.h"
#include "platform/messages.h"
#include "platform/windows_error.h"

namespace startgarten {

namespace {
constexpr const char* kPointerFile = "c:\\msdos.sys";
constexpr uint16_t kUnprotectedMask = 0xFFF8;  // clears read-only, hidden and system

uint16_t ReadAttributeWord(const std::string& path) {
  return static_cast<uint16_t>(platform::GetFileAttributes(path) & 0xFFFF);
}

// Failures to set attributes are not errors: the procedure goes on either way.
void SetAttributeWord(const std::string& path, uint16_t word) {
  platform::SetFileAttributes(path, word);
}

// Puts the protection back. A failure is tried once more, so that one that passes (a disk full
// for a moment, a single I/O error) does not leave the boot file unprotected; a lasting one stays
// silent like every attribute failure.
void RestoreAttributeWord(const std::string& path, uint16_t word) {
  if (platform::SetFileAttributes(path, word) != platform::kErrorSuccess) {
    platform::SetFileAttributes(path, word);
  }
}
}  // namespace

TBootFile::TBootFile(std::string path, uint16_t savedAttributes)
    : path_(std::move(path)), savedAttributes_(savedAttributes), ini_(path_) {
  SetAttributeWord(path_, savedAttributes_ & kUnprotectedMask);
}

TBootFile::~TBootFile() {
  RestoreAttributeWord(path_, savedAttributes_);
}

std::unique_ptr<TBootFile> OpenBootFile(MessageBoxService& boxes) {
  const uint16_t saved = ReadAttributeWord(kPointerFile);
  SetAttributeWord(kPointerFile, saved & kUnprotectedMask);
  const std::string drive = TIniFile(kPointerFile).ReadText("PATHS", "HOSTWINBOOTDRV", "");
  RestoreAttributeWord(kPointerFile, saved);
  if (drive.empty()) {
    boxes.Show(messages::kHostDriveNotFoundText, messages::kHostDriveNotFoundTitle,
               MessageButtons::kOk, MessageIcon::kNone);
    return nullptr;
  }
  return std::make_unique<TBootFile>(drive + ":\\msdos.sys", saved);
}

}  // namespace startgarten
