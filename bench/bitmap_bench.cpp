// The bitmap reader on pictures of the sizes it meets: a shutdown logo (320 x 400, 8 bits with a
// colour table) and a full screen in true colour (1024 x 768, 24 bits).
#include <benchmark/benchmark.h>

#include <string>

#include "logos/bitmap_reader.h"
#include "support/bmp_files.h"

namespace startgarten::bench {

namespace {

// A BMP file whose pixels vary across every row and column, so that no run of equal bytes
// makes the decoding cheaper than it is for a real picture.
std::string GeneratedBitmap(int width, int height, uint16_t bitCount) {
  test_support::BmpFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = bitCount;
  if (bitCount == 8) {
    for (uint32_t i = 0; i < 256; ++i) fields.palette.push_back(i * 0x010305 & 0xFFFFFF);
  }
  const size_t rowBytes = size_t(width) * bitCount / 8;
  const size_t stride = (rowBytes + 3) / 4 * 4;  // BMP rows are padded to four bytes
  for (int y = 0; y < height; ++y) {
    for (size_t x = 0; x < stride; ++x) {
      fields.pixelData += static_cast<char>(x < rowBytes ? x * 7 + y * 13 : 0);
    }
  }
  return test_support::BuildBmp(fields);
}

void DecodeBitmap(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const std::string bytes = GeneratedBitmap(width, height, static_cast<uint16_t>(state.range(2)));
  for (auto _ : state) {
    const TPicture picture = startgarten::DecodeBitmap(bytes);
    if (picture.width != width || picture.height != height) {
      state.SkipWithError("the picture did not decode");
    }
    benchmark::DoNotOptimize(picture.pixels.data());
  }
}
BENCHMARK(DecodeBitmap)->Args({320, 400, 8})->Args({1024, 768, 24})->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace startgarten::bench
