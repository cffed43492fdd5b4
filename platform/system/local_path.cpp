#include "platform/system/local_path.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <climits>
#include <deque>
#include <string>
#include <vector>

namespace startgarten::platform {

namespace {

// As many links as the kernel follows in one path.
constexpr int kLinkLimit = 40;

Descriptor OpenName(int folder, const char* name, int flags = 0) {
  return Descriptor::Direct(::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC | flags));
}

bool IsAutomountFolder(int fd) {
  struct statfs status;
  return ::fstatfs(fd, &status) == 0 && status.f_type == AUTOFS_SUPER_MAGIC;
}

// Whether path is chosen or one of the folders on the way to it.
bool OnTheWayTo(const std::filesystem::path& path, const std::filesystem::path& chosen) {
  const auto [end, unused] = std::mismatch(path.begin(), path.end(), chosen.begin(), chosen.end());
  return end == path.end();
}

// The names of path, in front of those still to be resolved.
void PutInFront(const std::filesystem::path& path, std::deque<std::string>& names) {
  std::vector<std::string> parts;
  for (const std::filesystem::path& part : path.relative_path()) parts.push_back(part.string());
  names.insert(names.begin(), parts.begin(), parts.end());
}

}  // namespace

LocalPath ResolveLocalPath(const std::filesystem::path& folder, const std::filesystem::path& path,
                           const std::filesystem::path& chosen) {
  LocalPath result;
  std::deque<std::string> names;
  PutInFront(path, names);
  if (path.is_relative()) PutInFront(folder, names);
  std::filesystem::path resolved = "/";
  Descriptor current = OpenName(AT_FDCWD, "/", O_DIRECTORY);
  int links = 0;
  while (current.IsOpen() && !names.empty()) {
    const std::string name = std::move(names.front());
    names.pop_front();
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      current = OpenName(current.Get(), "..", O_DIRECTORY);
      resolved = resolved.parent_path();
      continue;
    }
    if (IsAutomountFolder(current.Get()) && !OnTheWayTo(resolved / name, chosen)) {
      result.found = LocalPath::Found::kThroughAutomount;
      return result;
    }
    Descriptor next = OpenName(current.Get(), name.c_str());
    struct stat status;
    if (!next.IsOpen() || ::fstat(next.Get(), &status) != 0) return result;
    if (!S_ISLNK(status.st_mode)) {
      current = std::move(next);
      resolved /= name;
      continue;
    }
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(next.Get(), "", target.data(), target.size());
    if (++links > kLinkLimit || length <= 0 || static_cast<size_t>(length) >= target.size())
      return result;
    target.resize(static_cast<size_t>(length));
    PutInFront(target, names);
    if (target.front() == '/') {
      current = OpenName(AT_FDCWD, "/", O_DIRECTORY);
      resolved = "/";
    }
  }
  if (!current.IsOpen()) return result;
  result.found = LocalPath::Found::kFile;
  result.path = resolved;
  result.file = std::move(current);
  return result;
}

}  // namespace startgarten::platform
