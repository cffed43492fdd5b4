#include "bench/bench_drive.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

#include "platform/file_attributes.h"

namespace startgarten::bench {

namespace fs = std::filesystem;

namespace {
constexpr uint32_t kProtectedBootFile = platform::kAttributeReadOnly | platform::kAttributeHidden |
                                        platform::kAttributeSystem | platform::kAttributeArchive;
}

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
  platform::SetFileAttributes("c:\\msdos.sys", kProtectedBootFile);
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
