#include "platform/system/directory_listing.h"

#include <dirent.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "platform/system/file_system.h"

namespace startgarten::platform {

int ListDirectory(int fd, std::vector<std::string>& names) {
  // Records of struct dirent64, each d_reclen bytes long, its name NUL-terminated.
  alignas(dirent64) char buffer[32 << 10];
  for (;;) {
    const ssize_t got = file_system::ReadDirectory(fd, buffer, sizeof buffer);
    if (got < 0) return errno;
    if (got == 0) return 0;
    for (size_t at = 0; at < static_cast<size_t>(got);) {
      decltype(dirent64::d_reclen) length = 0;
      std::memcpy(&length, buffer + at + offsetof(dirent64, d_reclen), sizeof length);
      if (length == 0) return EIO;
      const std::string_view name(buffer + at + offsetof(dirent64, d_name));
      if (name != "." && name != "..") names.emplace_back(name);
      at += length;
    }
  }
}

}  // namespace startgarten::platform
