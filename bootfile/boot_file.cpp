#include "bootfile/boot_file.h"

#include "bootfile/start_scripts.h"
#include "platform/dos/write_set.h"
#include "platform/files.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

namespace {

constexpr const char* kPointerFile = "c:\\msdos.sys";
constexpr const char* kBootFileName = ":\\msdos.sys";

std::string HostBootDrive() {
  return TIniFile(kPointerFile).ReadText("PATHS", "HOSTWINBOOTDRV", "");
}

}  // namespace

TBootFile::TBootFile(std::string path) : path_(std::move(path)), ini_(path_) {
  platform::LiftProtection(path_);
}

std::optional<std::string> FindBootFile(MessageBoxService& boxes) {
  const std::string drive = HostBootDrive();
  if (drive.empty()) {
    boxes.Show(messages::kHostDriveNotFoundText, messages::kHostDriveNotFoundTitle,
               MessageButtons::kOk, MessageIcon::kNone);
    return std::nullopt;
  }
  return drive + kBootFileName;
}

std::unique_ptr<TBootFile> OpenBootFile(std::string path) {
  // Whether it can be read at all: nothing of it is loaded yet.
  if (platform::ReadWholeFile(path, 0).error != platform::kErrorSuccess) {
    throw Error(FormatMessageText(messages::kCannotOpenFile, path));
  }
  return std::make_unique<TBootFile>(std::move(path));
}

std::unique_ptr<TBootFile> OpenBootFile(MessageBoxService& boxes) {
  std::optional<std::string> path = FindBootFile(boxes);
  return path ? OpenBootFile(std::move(*path)) : nullptr;
}

std::vector<std::string> WriteCommandFiles() {
  std::vector<std::string> files = StartScriptFiles();
  if (const std::string drive = HostBootDrive(); !drive.empty())
    files.push_back(drive + kBootFileName);
  return files;
}

void RemoveLeftoversOfInterruptedWrites() {
  platform::CleanUpInterruptedWrites(WriteCommandFiles());
}

}  // namespace startgarten
