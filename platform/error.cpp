#include "platform/error.h"

namespace startgarten {

std::string FormatMessageText(std::string_view pattern, std::string_view argument) {
  std::string text(pattern);
  for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
    if (at + 1 < text.size() && (text[at + 1] == 's' || text[at + 1] == 'd')) {
      return text.replace(at, 2, argument);
    }
  }
  return text;
}

std::string FormatMessageText(std::string_view pattern, std::string_view first,
                              std::string_view second) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at == std::string::npos) return text;
  text.replace(at, 2, first);
  const size_t next = text.find("%s", at + first.size());
  if (next != std::string::npos) text.replace(next, 2, second);
  return text;
}

}  // namespace startgarten
