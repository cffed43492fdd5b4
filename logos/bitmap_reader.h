#pragma once

#include <string_view>

#include "logos/picture.h"

namespace startgarten {

// Decodes the bytes of a BMP file. Throws Error with messages::kStreamReadError for a file
// shorter than its headers or pixel data and messages::kInvalidBitmap for anything that is not a
// bitmap this reader knows. A file of length 0 gives an empty picture.
TPicture DecodeBitmap(std::string_view bytes);

}  // namespace startgarten
