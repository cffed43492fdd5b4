#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The extended attribute user.DOSATTRIB, in which Wine and Samba keep a file's DOS attributes.
// Two forms exist: text, "0x" and hexadecimal digits, sometimes with a final NUL (Wine, older
// Samba); and Samba's binary form, a structure in NDR encoding: a NUL-terminated hexadecimal text
// padded to an even length, the structure's version (16 bits) and again (32 bits), then for the
// versions 3, 4 and 5 a 32-bit field of valid flags and the 32-bit attribute field, then times.
// All numbers are little-endian.
namespace startgarten::platform {

inline constexpr const char* kDosAttribName = "user.DOSATTRIB";

// The attribute bits the value holds; none when it is in neither form.
std::optional<uint32_t> DosAttribAttributes(std::string_view value);

// The value in its own form with the attribute bits replaced, every other byte kept; none when
// it is in neither form.
std::optional<std::string> WithDosAttribAttributes(std::string_view value, uint32_t attributes);

}  // namespace startgarten::platform
