#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of an INI-style file as the Windows profile functions see it. A line ends at CR LF, LF
// or CR. A section line is "[" up to the last "]" on the line; a key line splits at its first "=".
// Names and values are trimmed of blanks and tabs and names match without regard to case. Only
// the first matching section counts, and in it the first matching key.
namespace startgarten::platform {

// The value of the key, without a pair of enclosing double or single quotes; none when the
// section, the key or the key's "=" is missing.
std::optional<std::string_view> FindProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key);

// The text with the key set to value, every other byte kept: an existing key line keeps
// everything up to its "=" and the blanks after it, a missing key gets a new line after the last
// non-blank line of its section, a missing section is appended with the key. New lines use the
// text's first line end (CR LF when it has none). Section, key and value must not hold a line
// break, and the key must be a valid key name (IsValidProfileKey).
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// Whether a key, once written, reads back as a key line of that name: not empty, no "=", no
// leading "[" that could make the line a section line.
bool IsValidProfileKey(std::string_view key);

}  // namespace startgarten::platform
