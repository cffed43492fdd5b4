#include "platform/profile.h"

#include <utility>

#include "platform/dos/write_set.h"
#include "platform/profile_text.h"
#include "platform/windows/error.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

// What a C caller finds in a result buffer of bufferSize characters.
std::string AsCBuffer(std::string_view text, size_t bufferSize) {
  if (bufferSize == 0) return {};
  text = text.substr(0, text.find('\0'));
  return std::string(text.substr(0, bufferSize - 1));
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Whether the file may be given new content: one staged already, a new one, a regular file that
// is not read-only, or one whose protection the write set lifted.
bool IsWritable(const DosFile& file) {
  const WriteSet* writes = WriteSet::Current();
  if (writes && writes->Staged(file)) return true;
  const FileStatus status = file.drive->Status(file.path);
  if (!status.exists) return true;
  if (!status.regular) return false;
  return !(status.attributes & kAttributeReadOnly) || (writes && writes->IsProtectionLifted(file));
}

std::optional<UnreadableProfile> unreadable;

// Notes a file that is there but could not be read; one that is missing is no fault.
void NoteIfUnreadable(std::string_view dosPath, uint32_t error) {
  if (unreadable || error == kErrorSuccess || error == kErrorFileNotFound ||
      error == kErrorPathNotFound) {
    return;
  }
  unreadable = UnreadableProfile{std::string(dosPath), error};
}

}  // namespace

std::optional<UnreadableProfile> TakeUnreadableProfile() {
  return std::exchange(unreadable, std::nullopt);
}

std::string ReadProfileString(std::string_view dosPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              size_t bufferSize) {
  const DosFile file = LocateFile(dosPath);
  if (file.error) {
    NoteIfUnreadable(dosPath, file.error);
  } else {
    const ReadFileResult text = ReadCurrentContent(file, kLargestCommandFile);
    if (!text.error && !text.tooLarge) {
      if (const auto value = FindProfileValue(text.bytes, section, key)) {
        return AsCBuffer(*value, bufferSize);
      }
    }
    NoteIfUnreadable(dosPath, text.tooLarge ? kErrorNotEnoughMemory : text.error);
  }
  return AsCBuffer(defaultValue, bufferSize);
}

void WriteProfileString(std::string_view dosPath, std::string_view section, std::string_view key,
                        std::string_view value, const std::string& failureText) {
  // Such names or values would change the structure of the file, not just the one key.
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value) ||
      !IsValidProfileKey(key)) {
    throw Error(failureText);
  }
  const DosFile file = LocateFile(dosPath);
  if (file.error) throw Error(failureText);
  const ReadFileResult old = ReadCurrentContent(file, kLargestCommandFile);
  if ((old.error && old.error != kErrorFileNotFound) || old.tooLarge) throw Error(failureText);
  if (!IsWritable(file)) throw Error(failureText);
  WriteFileContent(file, SetProfileValue(old.bytes, section, key, value), NewAttributes::kKeep,
                   {failureText, failureText});
}

}  // namespace startgarten::platform
