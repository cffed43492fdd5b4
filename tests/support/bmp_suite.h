#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "support/temp_drive.h"

namespace startgarten::test_support {

// The BMP test suite kept in tests/data/bmpsuite: its valid files ("g") and its invalid ones
// ("b"), each folder with this many pictures.
inline constexpr size_t kBmpSuiteValidFiles = 27;
inline constexpr size_t kBmpSuiteInvalidFiles = 20;

// The bytes of the files in a folder of the suite, by name. A folder that cannot be read fails
// the test: every picture belongs to the repository.
inline std::map<std::string, std::string> BmpSuite(const char* folder) {
  std::map<std::string, std::string> files;
  const char* source = std::getenv("STARTGARTEN_SOURCE_DIR");
  const auto directory =
      std::filesystem::path(source ? source : "") / "tests" / "data" / "bmpsuite" / folder;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error))
    files[entry.path().filename().string()] = ReadHostBytes(entry.path());
  if (error) ADD_FAILURE() << "cannot read " << directory << ": " << error.message();
  return files;
}

}  // namespace startgarten::test_support
