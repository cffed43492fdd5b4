#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>

// A Wine prefix of its own for one test: a temporary directory with dosdevices/c: linked to an
// empty drive directory, and WINEPREFIX pointing at it for the lifetime of the object. Files on
// the drives are written and read as bytes through host paths relative to a drive's root.
namespace startgarten::test_support {

class TempDrive {
 public:
  TempDrive() {
    std::string pattern = (std::filesystem::temp_directory_path() / "startgarten-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temporary directory";
    base_ = pattern;
    std::filesystem::create_directories(base_ / "prefix" / "dosdevices");
    if (const char* prefix = std::getenv("WINEPREFIX")) savedPrefix_ = prefix;
    ::setenv("WINEPREFIX", (base_ / "prefix").c_str(), 1);
    MapDrive('c');
  }

  ~TempDrive() {
    savedPrefix_ ? ::setenv("WINEPREFIX", savedPrefix_->c_str(), 1) : ::unsetenv("WINEPREFIX");
    std::error_code ignored;
    std::filesystem::permissions(base_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(base_, ignored);
  }

  TempDrive(const TempDrive&) = delete;
  TempDrive& operator=(const TempDrive&) = delete;

  // Maps the drive letter (lower case) to a new empty directory and returns that directory.
  std::filesystem::path MapDrive(char letter) {
    const std::filesystem::path root = base_ / (std::string("drive_") + letter);
    std::filesystem::create_directories(root);
    std::filesystem::create_directory_symlink(
        root, Prefix() / "dosdevices" / (std::string(1, letter) + ":"));
    return root;
  }

  std::filesystem::path Prefix() const { return base_ / "prefix"; }
  // The temporary directory that holds the prefix and the drives, for files off every drive.
  const std::filesystem::path& Base() const { return base_; }
  std::filesystem::path Root(char letter = 'c') const {
    return base_ / (std::string("drive_") + letter);
  }
  std::filesystem::path Host(std::string_view relative, char letter = 'c') const {
    return Root(letter) / relative;
  }

  // Writes the bytes to the file, creating the directories on the way.
  void Write(std::string_view relative, std::string_view bytes, char letter = 'c') const {
    const std::filesystem::path path = Host(relative, letter);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }

  // The bytes of the file; none when it does not exist.
  std::optional<std::string> Read(std::string_view relative, char letter = 'c') const {
    std::ifstream in(Host(relative, letter), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Makes the file read-only, hidden and system, as Windows 95 leaves its boot file: no write
  // permission, and the attributes in user.DOSATTRIB as Wine keeps them.
  void Protect(std::string_view relative, char letter = 'c') const {
    const std::filesystem::path path = Host(relative, letter);
    EXPECT_EQ(::setxattr(path.c_str(), "user.DOSATTRIB", "0x27", 4, 0), 0);
    std::filesystem::permissions(path,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
  }

  // Every entry of the drive with its permission bits, extended attributes and bytes, to see
  // that nothing at all changed.
  std::string Snapshot(char letter = 'c') const {
    std::string snapshot;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Root(letter))) {
      const std::filesystem::path& path = entry.path();
      snapshot += path.lexically_relative(Root(letter)).string() + " " +
                  std::to_string(static_cast<int>(entry.symlink_status().permissions()));
      char names[1024];
      const ssize_t size = ::llistxattr(path.c_str(), names, sizeof names);
      for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[256];
        const ssize_t length = ::lgetxattr(path.c_str(), names + at, value, sizeof value);
        snapshot += std::string(" ") + (names + at) + "=" +
                    std::string(value, static_cast<size_t>(std::max<ssize_t>(length, 0)));
      }
      if (entry.is_regular_file()) snapshot += " " + Read(path.lexically_relative(Root(letter)).string(), letter).value_or("");
      snapshot += "\n";
    }
    return snapshot;
  }

  // The names in a directory of the drive, to see that nothing was left behind.
  std::set<std::string> Entries(std::string_view relative = "", char letter = 'c') const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Host(relative, letter))) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

 private:
  std::filesystem::path base_;
  std::optional<std::string> savedPrefix_;
};

}  // namespace startgarten::test_support
