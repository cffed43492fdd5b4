#include "platform/temporary_name.h"

#include <cstdio>

namespace startgarten::platform {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of the hexadecimal digits, or -1 when one of them is not one.
long HexNumber(std::string_view digits) {
  long value = 0;
  for (char c : digits) {
    const int digit = HexValue(c);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

bool SameLetter(char c, char upper) {
  return c == upper || c == upper - 'A' + 'a';
}

}  // namespace

std::string TemporaryFileName(pid_t pid, unsigned index) {
  char name[13];
  std::snprintf(name, sizeof name, "SG%06X.~%02X", static_cast<unsigned>(pid) & 0xFFFFFFu,
                index & 0xFFu);
  return name;
}

std::optional<pid_t> TemporaryFileOwner(std::string_view name) {
  if (name.size() != 12 || !SameLetter(name[0], 'S') || !SameLetter(name[1], 'G') ||
      name.substr(8, 2) != ".~" || HexNumber(name.substr(10, 2)) < 0) {
    return std::nullopt;
  }
  const long pid = HexNumber(name.substr(2, 6));
  if (pid < 0) return std::nullopt;
  return static_cast<pid_t>(pid);
}

}  // namespace startgarten::platform
