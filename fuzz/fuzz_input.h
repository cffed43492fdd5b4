#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <string>
#include <string_view>

// The fuzz targets take their parameters from the end of the input and leave its front as the
// file text, so that a real file is a useful seed as it stands.
namespace startgarten::fuzz {

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
