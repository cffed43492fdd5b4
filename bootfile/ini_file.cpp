#include "bootfile/ini_file.h"

#include "platform/profile.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/number_text.h"

namespace startgarten {

std::optional<int32_t> ProfileTextToNumber(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'X' || text[1] == 'x')) {
    text.replace(0, 2, "$");
  }
  return TryStrToInt(text);
}

std::string TIniFile::ReadText(std::string_view section, std::string_view key,
                               std::string_view defaultValue) const {
  return platform::ReadProfileString(fileName_, section, key, defaultValue, kBufferSize);
}

int32_t TIniFile::ReadNumber(std::string_view section, std::string_view key,
                             int32_t defaultValue) const {
  return ReadNumber(section, key).value_or(defaultValue);
}

std::optional<int32_t> TIniFile::ReadNumber(std::string_view section, std::string_view key) const {
  return ProfileTextToNumber(ReadText(section, key, ""));
}

void TIniFile::WriteText(std::string_view section, std::string_view key,
                         std::string_view value) const {
  platform::WriteProfileString(fileName_, section, key, value,
                               FormatMessageText(messages::kCannotWriteTo, fileName_));
}

void TIniFile::WriteNumber(std::string_view section, std::string_view key, int32_t value) const {
  WriteText(section, key, IntToStr(value));
}

}  // namespace startgarten
