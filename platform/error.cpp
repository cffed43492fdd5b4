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

}  // namespace startgarten
