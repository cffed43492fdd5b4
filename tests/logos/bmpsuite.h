#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace startgarten::testing {

// The BMP test suite's folder beside the repository, when it is there.
std::optional<std::filesystem::path> BmpSuiteDirectory();

// The .bmp files of one of its subfolders ("g" valid, "b" invalid), sorted by name.
std::vector<std::filesystem::path> BmpSuiteFiles(const std::filesystem::path& subfolder);

std::string ReadBytes(const std::filesystem::path& file);

// The size field of a BMP file's information header, 0 for a file too short to hold one.
uint32_t InfoHeaderSize(const std::string& bytes);

}  // namespace startgarten::testing
