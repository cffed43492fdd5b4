#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace startgarten {

// The number a profile text stands for: a "0x" or "0X" in front of at least one more character
// becomes "$", then the text converts strictly (TryStrToInt); none when it does not.
std::optional<int32_t> ProfileTextToNumber(std::string text);

// A profile accessor bound to one INI-style file. It holds no content: every operation goes to
// the file at once. Section and key names match the file case-insensitively.
class TIniFile {
 public:
  // Values come back through a buffer of this many characters, so at most one fewer.
  static constexpr size_t kBufferSize = 1024;

  explicit TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  // The key's value, or defaultValue when the key or section is missing.
  std::string ReadText(std::string_view section, std::string_view key,
                       std::string_view defaultValue) const;
  // The key's value as a number ("0x" and "$" introduce hexadecimal), or defaultValue when it is
  // missing or not a number.
  int32_t ReadNumber(std::string_view section, std::string_view key, int32_t defaultValue) const;
  // The key's value as a number, or none when it is missing or not a number.
  std::optional<int32_t> ReadNumber(std::string_view section, std::string_view key) const;
  // Throws messages::kCannotWriteTo when the file cannot be written.
  void WriteText(std::string_view section, std::string_view key, std::string_view value) const;
  void WriteNumber(std::string_view section, std::string_view key, int32_t value) const;

 private:
  std::string fileName_;
};

}  // namespace startgarten
