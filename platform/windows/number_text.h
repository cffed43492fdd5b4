#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace startgarten {

// Converts text to a 32-bit integer by the strict rule the boot file and the spin edits share:
// leading blanks, then either an optional sign and decimal digits within the 32-bit range, or
// "$" and at most 8 hexadecimal digits, leading zeros counted (taken as the bits of the result,
// so "$FFFFFFFF" is -1). Nothing may follow the digits. Anything else gives no value.
std::optional<int32_t> TryStrToInt(std::string_view text);

// The decimal form: a leading "-" for negative values, no leading zeros, no "+".
std::string IntToStr(int32_t value);

}  // namespace startgarten
