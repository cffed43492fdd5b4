#include "platform/profile.h"

#include "platform/dos_path.h"
#include "platform/host_file.h"
#include "platform/profile_text.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

// Far above any real INI file; a bigger file is not read into memory at all.
constexpr size_t kProfileSizeLimit = 16 * 1024 * 1024;

// What a C caller finds in a result buffer of bufferSize characters.
std::string AsCBuffer(std::string_view text, size_t bufferSize) {
  if (bufferSize == 0) return {};
  text = text.substr(0, text.find('\0'));
  return std::string(text.substr(0, bufferSize - 1));
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

}  // namespace

std::string ReadProfileString(std::string_view dosPath, std::string_view section,
                              std::string_view key, std::string_view defaultValue,
                              size_t bufferSize) {
  const MappedPath mapped = MapDosPath(dosPath);
  if (!mapped.error) {
    const ReadFileResult file = ReadHostFile(mapped.path, kProfileSizeLimit);
    if (!file.error && !file.tooLarge) {
      if (const auto value = FindProfileValue(file.bytes, section, key)) {
        return AsCBuffer(*value, bufferSize);
      }
    }
  }
  return AsCBuffer(defaultValue, bufferSize);
}

bool WriteProfileString(std::string_view dosPath, std::string_view section, std::string_view key,
                        std::string_view value) {
  // Such names or values would change the structure of the file, not just the one key.
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value) ||
      !IsValidProfileKey(key)) {
    return false;
  }
  const MappedPath mapped = MapDosPath(dosPath);
  if (mapped.error) return false;
  const ReadFileResult old = ReadHostFile(mapped.path, kProfileSizeLimit);
  if ((old.error && old.error != kErrorFileNotFound) || old.tooLarge) return false;
  const std::string text = SetProfileValue(old.bytes, section, key, value);
  return ReplaceHostFile(mapped.path, text, true).failure == WriteFailure::kNone;
}

}  // namespace startgarten::platform
