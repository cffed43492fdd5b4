// Converts arbitrary text to a number with the program's strict rule, and with the boot file's
// "0x" rewrite in front of it, and compares both with a plain reading of the rules written here
// independently: leading blanks; an optional sign and decimal digits within the 32-bit range, or
// "$" and one to 8 hexadecimal digits, leading zeros counted, taken as 32 bits; nothing after.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "bootfile/ini_file.h"
#include "fuzz/fuzz_check.h"
#include "platform/windows/number_text.h"

namespace {

bool AllOf(std::string_view text, std::string_view characters) {
  return !text.empty() && text.find_first_not_of(characters) == std::string_view::npos;
}

std::optional<int32_t> ReferenceStrToInt(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (!text.empty() && text.front() == '$') {
    text.remove_prefix(1);
    if (!AllOf(text, "0123456789abcdefABCDEF") || text.size() > 8) return std::nullopt;
    const auto bits = static_cast<uint32_t>(std::strtoul(std::string(text).c_str(), nullptr, 16));
    return static_cast<int32_t>(bits);
  }
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (!AllOf(text, "0123456789")) return std::nullopt;
  // More than ten digits after the leading zeros are out of range, and too many for strtoll.
  const size_t first = text.find_first_not_of('0');
  if (first != std::string_view::npos && text.size() - first > 10) return std::nullopt;
  const int64_t magnitude = std::strtoll(std::string(text).c_str(), nullptr, 10);
  if (magnitude > (negative ? 2147483648 : 2147483647)) return std::nullopt;
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using startgarten::fuzz::Check;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<int32_t> expected = ReferenceStrToInt(text);
  Check(startgarten::TryStrToInt(text) == expected, "TryStrToInt as the reference");

  // The boot file's reader writes a leading "0x" before at least one more character as "$".
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  Check(startgarten::ProfileTextToNumber(std::string(text)) ==
            ReferenceStrToInt(hex ? "$" + std::string(text.substr(2)) : std::string(text)),
        "the profile number as the reference");

  if (expected) {
    Check(startgarten::TryStrToInt(startgarten::IntToStr(*expected)) == expected,
          "IntToStr and back");
  }
  return 0;
}
