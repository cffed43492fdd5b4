#pragma once

#include <string>

#include "platform/windows/error.h"

namespace startgarten::test_support {

// The message of the Error that the action throws, "" when it throws none.
template <typename Action>
std::string ErrorOf(const Action& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

}  // namespace startgarten::test_support
