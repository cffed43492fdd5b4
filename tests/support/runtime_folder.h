#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/scoped_environment.h"
#include "support/temp_drive.h"

// A runtime folder of one test's own (XDG_RUNTIME_DIR), in which the program makes its exports of
// images of other formats, so that what a test leaves there is its own.
namespace startgarten::test_support {

class RuntimeFolder {
 public:
  explicit RuntimeFolder(const std::filesystem::path& base)
      : path_(base / "run"), environment_{{"XDG_RUNTIME_DIR", path_.string()}} {
    std::filesystem::create_directory(path_);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
  }

  // The folders of exports that are left.
  std::vector<std::string> ExportsLeft() const {
    std::vector<std::string> left;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, error))
      if (entry.path().filename().string().starts_with("export-")) left.push_back(entry.path());
    return left;
  }

  // Whether anything is mounted in the folder.
  bool Mounted() const { return MountedUnder(path_); }

 private:
  std::filesystem::path path_;
  ScopedEnvironment environment_;
};

}  // namespace startgarten::test_support
