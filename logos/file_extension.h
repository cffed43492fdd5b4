#pragma once

#include <string>
#include <string_view>

namespace startgarten {

// The extension of a DOS file name without its ".": the part after the last "." that follows
// the last "\" or ":". Empty when the name has none.
std::string_view FileExtension(std::string_view dosPath);

// The name with its extension (with its ".") replaced by newExtension, or newExtension appended
// when it has none.
std::string ChangeFileExtension(std::string_view dosPath, std::string_view newExtension);

}  // namespace startgarten
