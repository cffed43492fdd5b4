#include "platform/system/program_path.h"

#include <filesystem>
#include <string_view>

namespace startgarten::platform {

std::string RunningProgramPath() {
  std::error_code error;
  std::string path = std::filesystem::read_symlink("/proc/self/exe", error).string();
  // A program file that was replaced or removed while it runs keeps its name with this mark.
  constexpr std::string_view kRemoved = " (deleted)";
  if (path.ends_with(kRemoved)) path.resize(path.size() - kRemoved.size());
  return path;
}

}  // namespace startgarten::platform
