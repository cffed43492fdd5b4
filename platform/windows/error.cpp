#include "platform/windows/error.h"

namespace startgarten {

std::string FormatMessageText(std::string_view pattern, std::string_view argument) {
  return FormatMessageText(pattern, {argument});
}

std::string FormatMessageText(std::string_view pattern,
                              std::initializer_list<std::string_view> arguments) {
  std::string text;
  const std::string_view* next = arguments.begin();
  for (size_t at = 0; at < pattern.size(); ++at) {
    const bool placeholder = pattern[at] == '%' && at + 1 < pattern.size() &&
                             (pattern[at + 1] == 's' || pattern[at + 1] == 'd');
    if (placeholder && next != arguments.end()) {
      text += *next++;
      ++at;
    } else {
      text += pattern[at];
    }
  }
  return text;
}

std::string FormatMessageText(std::string_view pattern, std::string_view first,
                              std::string_view second) {
  return FormatMessageText(pattern, {first, second});
}

}  // namespace startgarten
