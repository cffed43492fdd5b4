#include "logos/bitmap_reader.h"

#include "logos/bitmap_header.h"
#include "logos/bitmap_pixels.h"

namespace startgarten {

TPicture DecodeBitmap(std::string_view bytes) {
  if (bytes.empty()) return {};
  const BitmapLayout layout = ReadBitmapLayout(bytes);
  if (layout.width == 0 || layout.height == 0) return {};
  const bool runLength = layout.compression == BitmapCompression::kRle8 ||
                         layout.compression == BitmapCompression::kRle4;
  return runLength ? DecodeRunLengthPixels(layout) : DecodeUncompressedPixels(layout);
}

}  // namespace startgarten
