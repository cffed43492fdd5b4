#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace startgarten::test_support {

// Sets environment variables until the end of the scope.
struct ScopedEnvironment {
  ScopedEnvironment(std::initializer_list<std::pair<const char*, std::string>> variables) {
    for (const auto& [name, value] : variables) {
      const char* old = std::getenv(name);
      saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
      ::setenv(name, value.c_str(), 1);
    }
  }
  ~ScopedEnvironment() {
    for (const auto& [name, value] : saved)
      value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

}  // namespace startgarten::test_support
