#pragma once

#include <string>
#include <string_view>

namespace startgarten {

// Text in files and in the program is code page 1252; the file system and the window use UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
// Characters that code page 1252 lacks become "?".
std::string Utf8ToCp1252(std::string_view text);

// Letter case of code page 1252: ASCII and the accented letters of the code page.
char ToUpperCp1252(char c);
char ToLowerCp1252(char c);

// Case-insensitive comparison of code page 1252 text, as Windows compares section, key and file
// names.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace startgarten
