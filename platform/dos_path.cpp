#include "platform/dos_path.h"

#include <optional>
#include <vector>

#include "platform/drive_path.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

bool IsDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Splits the part after "X:\" into names, resolving "." and ".." on the way: ".." at the root
// stays at the root, as on Windows. Empty names (doubled or final "\") are skipped.
std::optional<std::vector<std::string_view>> Names(std::string_view rest) {
  std::vector<std::string_view> names;
  while (!rest.empty()) {
    const size_t end = rest.find('\\');
    const std::string_view name = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    if (!IsValidFileName(name)) return std::nullopt;
    names.push_back(name);
  }
  return names;
}

}  // namespace

DosFile ResolveDosPath(std::string_view dosPath) {
  DosFile file;
  file.dosPath = dosPath;
  file.error = kErrorPathNotFound;
  if (dosPath.size() < 3 || !IsDriveLetter(dosPath[0]) || dosPath[1] != ':' || dosPath[2] != '\\')
    return file;
  const std::optional<std::vector<std::string_view>> names = Names(dosPath.substr(3));
  if (!names) return file;
  file.drive = DriveFor(dosPath[0]);
  if (!file.drive) return file;
  ResolvedPath resolved = file.drive->Resolve(*names);
  file.error = resolved.error;
  file.path = std::move(resolved.path);
  return file;
}

}  // namespace startgarten::platform
