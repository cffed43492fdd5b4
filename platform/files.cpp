#include "platform/files.h"

#include "platform/profile.h"
#include "platform/windows/error.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

constexpr const char* kDefaultWindowsDirectory = "C:\\WINDOWS";
constexpr size_t kMaxPath = 144;  // characters of a Windows path, its final NUL included

}  // namespace

ReadFileResult ReadWholeFile(std::string_view dosPath, size_t limit) {
  const DosFile file = LocateFile(dosPath);
  if (!file.error) return ReadCurrentContent(file, limit);
  ReadFileResult result;
  result.error = file.error;
  return result;
}

void CreateWholeFile(std::string_view dosPath, std::string bytes, const FailureTexts& texts) {
  const DosFile file = LocateFile(dosPath);
  if (file.error) throw Error(texts.create);
  const FileStatus status = file.drive->Status(file.path);
  if (status.exists && (!status.regular || (status.attributes & kAttributeReadOnly)))
    throw Error(texts.create);
  WriteFileContent(file, std::move(bytes), NewAttributes::kNormal, texts);
}

uint32_t GetFileAttributes(std::string_view dosPath) {
  const DosFile file = LocateFile(dosPath);
  if (file.error) return kInvalidFileAttributes;
  return file.drive->Status(file.path).attributes;
}

uint32_t MoveFile(std::string_view fromDosPath, std::string_view toDosPath) {
  const DosFile from = LocateFile(fromDosPath);
  if (from.error) return from.error;
  if (!from.drive->Status(from.path).exists) return kErrorFileNotFound;
  const DosFile to = LocateFile(toDosPath);
  if (to.error) return to.error;
  // The target was matched without regard to case, so a name that differs only in case exists
  // here too.
  if (to.drive->Status(to.path).exists) return kErrorAlreadyExists;
  if (from.drive != to.drive) return kErrorNotSameDevice;
  return from.drive->Rename(from.path, to.path);
}

std::string GetWindowsDirectory() {
  std::string directory = ReadProfileString("c:\\msdos.sys", "Paths", "WinDir", "", kMaxPath);
  return directory.empty() ? kDefaultWindowsDirectory : directory;
}

}  // namespace startgarten::platform
