#include "bench/profile_files.h"

#include <cstdio>
#include <set>
#include <stdexcept>

namespace startgarten::bench {

namespace {

constexpr int kKeysPerSection = 64;

std::string ProfileText(size_t size) {
  const std::string tail = std::string("[") + kLastSection + "]\r\n" + kLastKey + "=0\r\n";
  constexpr size_t kShortestPadding = 3;  // ";" and CR LF
  if (size < tail.size() + kShortestPadding) throw std::invalid_argument("profile file too small");

  std::string text;
  text.reserve(size);
  char line[64];
  for (int n = 0;; ++n) {
    const int length =
        n % kKeysPerSection == 0
            ? std::snprintf(line, sizeof line, "[Section%06d]\r\n", n / kKeysPerSection)
            : std::snprintf(line, sizeof line, "Key%07d=Value of key %07d\r\n", n, n);
    if (text.size() + length + tail.size() + kShortestPadding > size) break;
    text.append(line, length);
  }
  const size_t padding = size - text.size() - tail.size() - kShortestPadding;
  text.append(";").append(padding, 'x').append("\r\n").append(tail);
  return text;
}

}  // namespace

ProfileFile ProfileFileOfSize(const BenchDrive& drive, size_t size) {
  static std::set<std::filesystem::path> written;
  const std::string name = "bench" + std::to_string(size) + ".ini";
  if (written.insert(drive.Host(name)).second) drive.Write(name, ProfileText(size));
  return {"c:\\" + name, drive.Host(name)};
}

std::string SizeName(size_t size) {
  if (size >= 1024 * 1024) return std::to_string(size / (1024 * 1024)) + " MiB";
  return std::to_string(size / 1024) + " KiB";
}

}  // namespace startgarten::bench
