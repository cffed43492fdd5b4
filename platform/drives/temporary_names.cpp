#include "platform/drives/temporary_names.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>

namespace startgarten::platform {

namespace {

constexpr std::string_view kEarlierSuffix = ".startgarten-new";

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool AreHexDigits(std::string_view text) {
  for (char c : text) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
}

}  // namespace

std::string TemporaryName(unsigned index) {
  char name[16];
  std::snprintf(name, sizeof name, "SG%06X.~%02X", static_cast<unsigned>(::getpid()) & 0xFFFFFF,
                index & 0xFF);
  return name;
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() > kEarlierSuffix.size() && name.ends_with(kEarlierSuffix)) return true;
  return name.size() == 12 && (name[0] == 'S' || name[0] == 's') &&
         (name[1] == 'G' || name[1] == 'g') && AreHexDigits(name.substr(2, 6)) &&
         name.substr(8, 2) == ".~" && AreHexDigits(name.substr(10, 2));
}

bool IsNewVersionName(std::string_view name) {
  unsigned index = kOldVersionIndex;
  return name.size() == 12 && IsTemporaryName(name) &&
         std::from_chars(name.data() + 10, name.data() + 12, index, 16).ptr == name.data() + 12 &&
         (index < kOldVersionIndex ||
          (index >= kLetteredIndex && index < kLetteredIndex + kOldVersionIndex));
}

}  // namespace startgarten::platform
