#include "tests/logos/bmpsuite.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace startgarten::testing {

std::optional<std::filesystem::path> BmpSuiteDirectory() {
  const char* source = std::getenv("STARTGARTEN_SOURCE_DIR");
  if (source == nullptr) return std::nullopt;
  const auto directory = std::filesystem::path(source) / ".." / "shared" / "testdata" / "bmpsuite";
  if (!std::filesystem::is_directory(directory / "g")) return std::nullopt;
  return directory;
}

std::vector<std::filesystem::path> BmpSuiteFiles(const std::filesystem::path& subfolder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(subfolder)) {
    if (entry.path().extension() == ".bmp") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t InfoHeaderSize(const std::string& bytes) {
  if (bytes.size() < 18) return 0;
  uint32_t size = 0;
  for (int i = 17; i >= 14; --i) size = size << 8 | static_cast<uint8_t>(bytes[i]);
  return size;
}

}  // namespace startgarten::testing
