#pragma once

#include "logos/bitmap_header.h"
#include "logos/picture.h"

namespace startgarten {

// Decodes rows of 1, 4, 8, 16, 24 or 32 bits per pixel, each padded to four bytes. Throws
// messages::kStreamReadError when the file holds fewer rows than the picture has.
TPicture DecodeUncompressedPixels(const BitmapLayout& layout);

// Decodes RLE8 or RLE4 data. Pixels the data skips keep the colour of index 0; pixels it places
// outside the picture are dropped. Throws messages::kStreamReadError when the data ends before the
// end-of-bitmap mark or the last row.
TPicture DecodeRunLengthPixels(const BitmapLayout& layout);

}  // namespace startgarten
