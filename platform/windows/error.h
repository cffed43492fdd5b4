#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace startgarten {

// An error that ends the running command. Its message (code page 1252) is shown to the user
// exactly as it stands, followed by a period.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Replaces the first "%s" or "%d" in pattern by argument.
std::string FormatMessageText(std::string_view pattern, std::string_view argument);
// Replaces the "%s" and "%d" of pattern by the arguments in order; a "%s" inside an argument
// stays as it is.
std::string FormatMessageText(std::string_view pattern,
                              std::initializer_list<std::string_view> arguments);
// Replaces the first "%s" by first and the next one after it by second; a "%s" inside first
// stays as it is.
std::string FormatMessageText(std::string_view pattern, std::string_view first,
                              std::string_view second);

}  // namespace startgarten
