#pragma once

#include <gtest/gtest.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "support/scoped_environment.h"

// A Wine prefix of its own for one test: a temporary directory with dosdevices/c: linked to an
// empty drive directory, and WINEPREFIX pointing at it for the lifetime of the object. The drive
// directories lie in the temporary directory too, or in a folder of their own of another file
// system (a FAT or FUSE mount). The list of drives chosen lately is kept in a folder "config"
// beside the prefix (XDG_CONFIG_HOME), so that no test touches the user's own. Files on the drives
// are written and read as bytes through host paths relative to a drive's root.
namespace startgarten::test_support {

namespace fs = std::filesystem;

// The extended attributes of a file (of a link itself, not of its target), by name.
inline std::map<std::string, std::string> ExtendedAttributes(const fs::path& path) {
  std::map<std::string, std::string> attributes;
  char names[4096], value[1024];
  const char* end = names + std::max<ssize_t>(::llistxattr(path.c_str(), names, sizeof names), 0);
  for (const char* name = names; name < end; name += std::strlen(name) + 1) {
    const ssize_t length = ::lgetxattr(path.c_str(), name, value, sizeof value);
    attributes[name].assign(value, static_cast<size_t>(std::max<ssize_t>(length, 0)));
  }
  return attributes;
}

// Whether the file lies on a file system of this type (its magic number): a FAT mount keeps
// attributes in its directory entries.
inline bool IsOn(const fs::path& path, long type) {
  struct statfs fileSystem;
  return ::statfs(path.c_str(), &fileSystem) == 0 && fileSystem.f_type == type;
}

// Bytes of a file on the host.
inline std::string ReadHostBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteHostBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Whether anything is mounted at or beneath the path, by the mount points that
// /proc/self/mountinfo lists (its fifth field; the path as that file names it).
inline bool MountedUnder(const fs::path& path) {
  std::ifstream table("/proc/self/mountinfo");
  std::string id, parent, device, root, mountPoint, rest;
  while (table >> id >> parent >> device >> root >> mountPoint && std::getline(table, rest)) {
    const fs::path inside = fs::path(mountPoint).lexically_relative(path);
    if (!inside.empty() && *inside.begin() != "..") return true;
  }
  return false;
}

// A new directory of a unique name in parent.
inline fs::path UniqueDirectory(const fs::path& parent) {
  std::string pattern = (parent / "startgarten-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a directory in " << parent;
  return pattern;
}

class TempDrive {
 public:
  // drives: where the drive directories go; by default beside the prefix.
  explicit TempDrive(const fs::path& drives = {})
      : base_(UniqueDirectory(fs::temp_directory_path())),
        drives_(drives.empty() ? base_ : UniqueDirectory(drives)),
        environment_{{"WINEPREFIX", Prefix().string()}, {"XDG_CONFIG_HOME", Config().string()}} {
    fs::create_directories(Prefix() / "dosdevices");
    MapDrive('c');
  }

  ~TempDrive() {
    for (const fs::path& directory : {drives_, base_}) {
      std::error_code ignored;
      fs::permissions(directory, fs::perms::owner_all, fs::perm_options::add, ignored);
      fs::remove_all(directory, ignored);
    }
  }

  TempDrive(const TempDrive&) = delete;
  TempDrive& operator=(const TempDrive&) = delete;

  // Maps the drive letter (lower case) to a new empty directory and returns that directory.
  fs::path MapDrive(char letter) {
    fs::create_directories(Root(letter));
    LinkDrive(letter, Root(letter));
    return Root(letter);
  }

  // Points the drive letter's link in the prefix at the target, which need not exist.
  void LinkDrive(char letter, const fs::path& target) const {
    fs::remove(Link(letter));
    fs::create_directory_symlink(target, Link(letter));
  }

  fs::path Prefix() const { return base_ / "prefix"; }
  // XDG_CONFIG_HOME: not made until the program makes it.
  fs::path Config() const { return base_ / "config"; }
  fs::path Link(char letter) const {
    return Prefix() / "dosdevices" / (std::string(1, letter) + ":");
  }
  // The temporary directory that holds the prefix and the drives, for files off every drive.
  const fs::path& Base() const { return base_; }
  fs::path Root(char letter = 'c') const { return drives_ / (std::string("drive_") + letter); }
  fs::path Host(std::string_view relative, char letter = 'c') const {
    return Root(letter) / relative;
  }

  // Writes the bytes to the file, creating the directories on the way.
  void Write(std::string_view relative, std::string_view bytes, char letter = 'c') const {
    fs::create_directories(Host(relative, letter).parent_path());
    WriteHostBytes(Host(relative, letter), bytes);
  }

  // The bytes of the file; none when it does not exist.
  std::optional<std::string> Read(std::string_view relative, char letter = 'c') const {
    std::ifstream in(Host(relative, letter), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // Makes the file read-only, hidden and system, as Windows 95 leaves its boot file: no write
  // permission, and the attributes in user.DOSATTRIB as Wine keeps them, or in the directory
  // entry on a FAT mount.
  void Protect(std::string_view relative, char letter = 'c') const {
    const fs::path path = Host(relative, letter);
    if (IsOn(path, MSDOS_SUPER_MAGIC)) {
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      uint32_t attributes = ATTR_RO | ATTR_HIDDEN | ATTR_SYS | ATTR_ARCH;
      EXPECT_EQ(::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attributes), 0) << path;
      ::close(fd);
      return;
    }
    // A file system without user attributes (tmpfs before Linux 6.6) keeps only the permission.
    EXPECT_TRUE(::setxattr(path.c_str(), "user.DOSATTRIB", "0x27", 4, 0) == 0 || errno == ENOTSUP)
        << path;
    fs::permissions(path, fs::perms(0222), fs::perm_options::remove);
  }

  // Every entry of the drive with its permission bits, extended attributes and bytes, to see
  // that nothing at all changed.
  std::string Snapshot(char letter = 'c') const {
    std::string snapshot;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(Root(letter))) {
      const std::string relative = entry.path().lexically_relative(Root(letter)).string();
      snapshot += relative + " " + std::to_string(int(entry.symlink_status().permissions()));
      snapshot += " " + testing::PrintToString(ExtendedAttributes(entry.path()));
      if (entry.is_regular_file(error)) snapshot += " " + Read(relative, letter).value_or("");
      snapshot += "\n";
    }
    return snapshot;
  }

  // The names in a directory of the drive, to see that nothing was left behind. The msdos
  // driver shows every name in small letters: on FAT the names are in capitals here.
  std::set<std::string> Entries(std::string_view relative = "", char letter = 'c') const {
    std::set<std::string> names;
    const bool fat = IsOn(Host(relative, letter), MSDOS_SUPER_MAGIC);
    for (const auto& entry : fs::directory_iterator(Host(relative, letter))) {
      std::string name = entry.path().filename().string();
      if (fat) std::transform(name.begin(), name.end(), name.begin(), ::toupper);
      names.insert(name);
    }
    return names;
  }

 private:
  fs::path base_;
  fs::path drives_;
  ScopedEnvironment environment_;
};

}  // namespace startgarten::test_support
