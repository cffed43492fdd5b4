#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace startgarten::bench {

// A Wine prefix of its own under TMPDIR (so TMPDIR chooses the file system the figures are
// measured on): drive c: is a fresh copy of the bundled sample drive, its boot file read-only,
// hidden and system as Windows 95 leaves it.
class BenchDrive {
 public:
  BenchDrive();
  ~BenchDrive();
  BenchDrive(const BenchDrive&) = delete;
  BenchDrive& operator=(const BenchDrive&) = delete;

  // Points WINEPREFIX at this prefix, so that drive c: is this drive; the constructor does too.
  void Select() const;

  // The host path of a file on drive c:, relative to its root, through the drive's link in the
  // prefix as the program reaches it.
  std::filesystem::path Host(std::string_view relative) const {
    return base_ / "prefix" / "dosdevices" / "c:" / relative;
  }
  // Writes the bytes to a file on drive c:.
  void Write(std::string_view relative, std::string_view bytes) const;

 private:
  std::filesystem::path base_;
};

}  // namespace startgarten::bench
