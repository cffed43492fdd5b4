#include "bench/bench_drive.h"

#include <stdlib.h>
#include <sys/xattr.h>

#include <fstream>
#include <stdexcept>

namespace startgarten::bench {

namespace fs = std::filesystem;

BenchDrive::BenchDrive() {
  std::string pattern = (fs::temp_directory_path() / "startgarten-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create " + pattern);
  base_ = pattern;
  const fs::path root = base_ / "drive_c";
  fs::copy(fs::path(STARTGARTEN_SOURCE_DIR) / "examples" / "drive_c", root,
           fs::copy_options::recursive);
  fs::create_directories(base_ / "prefix" / "dosdevices");
  fs::create_directory_symlink(root, base_ / "prefix" / "dosdevices" / "c:");
  Select();
  // The boot file read-only, hidden and system, as Windows 95 leaves it.
  const fs::path bootFile = root / "MSDOS.SYS";
  ::setxattr(bootFile.c_str(), "user.DOSATTRIB", "0x27", 4, 0);
  fs::permissions(bootFile, fs::perms(0444));
}

BenchDrive::~BenchDrive() {
  std::error_code ignored;
  fs::remove_all(base_, ignored);
}

void BenchDrive::Select() const {
  ::setenv("WINEPREFIX", (base_ / "prefix").c_str(), 1);
}

void BenchDrive::Write(std::string_view relative, std::string_view bytes) const {
  std::ofstream(Host(relative), std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace startgarten::bench
