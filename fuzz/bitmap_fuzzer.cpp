// Decodes arbitrary bytes as a BMP file: every input must end in a picture whose pixels match
// its size, or in one of the reader's two errors. The run's memory limits (scripts/fuzz.sh)
// make any allocation beyond the reader's largest picture a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "logos/bitmap_layout.h"
#include "logos/bitmap_reader.h"
#include "logos/logo_messages.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "bitmap reader: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  try {
    const TPicture picture =
        DecodeBitmap(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(picture.width >= 0 && picture.height >= 0, "a picture of negative size");
    const uint64_t pixels = uint64_t(picture.width) * uint64_t(picture.height);
    Check(pixels <= kMaxBitmapPixels, "a picture beyond the largest one");
    Check(picture.pixels.size() == pixels, "pixels that do not match the size");
    Check(size > 0 || picture.Empty(), "an empty file that gives a picture");
  } catch (const Error& error) {
    Check(std::strcmp(error.what(), messages::kStreamReadError) == 0 ||
              std::strcmp(error.what(), messages::kInvalidBitmap) == 0,
          "an error the reader does not raise");
  }
  return 0;
}
