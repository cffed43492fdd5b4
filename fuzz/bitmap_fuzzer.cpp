// Decodes arbitrary bytes as a BMP file: every input must end in a picture whose pixels match
// its size, or in one of the reader's two errors. The run's memory limits (scripts/fuzz.sh)
// make any allocation beyond the reader's largest picture a finding.

#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "logos/bitmap_header.h"
#include "logos/bitmap_reader.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"

namespace {

// Run-length headers can claim up to kMaxBitmapPixels from a few bytes, and building such
// pictures held the search to a few hundred executions a second instead of several thousand.
// Claims beyond this bound are left out so the search spends its time on the decoding rules,
// which do not depend on the size; the largest picture and the ones beyond it have unit tests.
constexpr uint64_t kMaxFuzzedPixels = uint64_t{1} << 16;

bool ClaimsLargePicture(std::string_view bytes) {
  try {
    const startgarten::BitmapLayout layout = startgarten::ReadBitmapLayout(bytes);
    return uint64_t(layout.width) * uint64_t(layout.height) > kMaxFuzzedPixels;
  } catch (const startgarten::Error&) {
    return false;  // the decoder meets the same error below
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace startgarten;
  using fuzz::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (ClaimsLargePicture(bytes)) return -1;  // -1 keeps the input out of the corpus
  try {
    const TPicture picture = DecodeBitmap(bytes);
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
