#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The fuzz targets take their parameters from the end of the input and leave its front as the
// file text, so that a real file is a useful seed as it stands.
namespace startgarten::fuzz {

// An input cut in two: the last byte says how many bytes before it (at most 63) hold the
// parameters; everything in front of those is the file text.
struct SplitInput {
  SplitInput(const uint8_t* data, size_t size)
      : parameterSize(size == 0 ? 0 : std::min<size_t>(data[size - 1] % 64, size - 1)),
        text(reinterpret_cast<const char*>(data), size == 0 ? 0 : size - 1 - parameterSize),
        parameters(data + text.size(), parameterSize) {}

  size_t parameterSize;
  std::string_view text;
  FuzzedDataProvider parameters;
};

// A short string taken from the end of the input.
inline std::string ConsumeTailString(FuzzedDataProvider& input, size_t maxLength) {
  std::string text(input.ConsumeIntegralInRange<size_t>(0, maxLength), '\0');
  for (char& c : text) c = input.ConsumeIntegral<char>();
  return text;
}

inline std::string WithoutLineBreaks(std::string text) {
  std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
  return text;
}

}  // namespace startgarten::fuzz
