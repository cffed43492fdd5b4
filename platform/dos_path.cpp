#include "platform/dos_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/cp1252.h"
#include "platform/drive_locations.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

namespace fs = std::filesystem;

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Characters that Windows does not allow in a file name, control characters included. '/' is
// among them, so a component can never name more than one directory level.
bool IsValidName(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

// Splits the part after "X:\" into components, resolving "." and ".." on the way: ".." at the
// root stays at the root, as on Windows. Empty components (doubled or final "\") are skipped.
std::optional<std::vector<std::string_view>> Components(std::string_view rest) {
  std::vector<std::string_view> components;
  while (!rest.empty()) {
    const size_t end = rest.find('\\');
    const std::string_view name = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    if (!IsValidName(name)) return std::nullopt;
    components.push_back(name);
  }
  return components;
}

// The entry of directory whose name matches name (code page 1252) without regard to case; of
// several, the first in byte order, so that the choice does not depend on the directory's order.
std::optional<std::string> FindIgnoringCase(const std::string& directory, std::string_view name) {
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view entryName = entry->d_name;
    if (entryName == "." || entryName == "..") continue;
    if (!EqualsIgnoreCase(Utf8ToCp1252(entryName), name)) continue;
    if (!found || entryName < *found) found = std::string(entryName);
  }
  ::closedir(dir);
  return found;
}

// The name in capitals when it is plain ASCII and has small letters. Such a name's capital form is,
// of all the names that match it without regard to case, the first in byte order (every other
// spelling and every other UTF-8 form of its letters has a greater byte where it first differs),
// so when it exists it is the entry FindIgnoringCase would choose, found without reading the
// directory. Windows 95 drives keep their names in capitals.
std::optional<std::string> AsciiCapitals(std::string_view name) {
  std::string capitals(name);
  bool changed = false;
  for (char& c : capitals) {
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
      changed = true;
    }
  }
  if (!changed) return std::nullopt;
  return capitals;
}

bool IsDirectory(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

MappedPath NotFound() {
  return {kErrorPathNotFound, {}};
}

}  // namespace

MappedPath MapDosPath(std::string_view dosPath) {
  if (dosPath.size() < 3 || !IsDriveLetter(dosPath[0]) || dosPath[1] != ':' || dosPath[2] != '\\')
    return NotFound();
  const std::optional<std::vector<std::string_view>> components = Components(dosPath.substr(3));
  std::optional<std::string> drive = DriveLocation(dosPath[0]);
  if (!components || !drive) return NotFound();

  std::string path = std::move(*drive);
  // The drive must be a directory. Once a name inside it has been found, it is one; it is looked
  // at by itself only where nothing has been found in it yet.
  if (components->empty() && !IsDirectory(path)) return NotFound();

  struct stat status;
  for (size_t i = 0; i < components->size(); ++i) {
    const std::string_view name = (*components)[i];
    const bool last = i + 1 == components->size();
    std::string exact = path + "/" + Cp1252ToUtf8(name);
    if (::lstat(exact.c_str(), &status) == 0) {
      path = std::move(exact);
      continue;
    }
    if (errno != ENOENT || (i == 0 && !IsDirectory(path))) return NotFound();
    if (const std::optional<std::string> capitals = AsciiCapitals(name)) {
      std::string capitalPath = path + "/" + *capitals;
      if (::lstat(capitalPath.c_str(), &status) == 0) {
        path = std::move(capitalPath);
        continue;
      }
    }
    if (const std::optional<std::string> entry = FindIgnoringCase(path, name)) {
      path.append("/").append(*entry);
    } else if (last) {
      path = std::move(exact);  // a file that does not exist yet
    } else {
      return NotFound();
    }
  }
  return {kErrorSuccess, fs::path(std::move(path))};
}

}  // namespace startgarten::platform
