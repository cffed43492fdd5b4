#pragma once

#include <sys/types.h>

#include <fstream>
#include <string>

namespace startgarten::test_support {

// Whether the process has ended: gone, or a zombie that nobody has reaped yet (its descriptors,
// and the locks they held, are released either way).
inline bool ProcessEnded(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  return text.empty() || text.find(") Z ") != std::string::npos;
}

}  // namespace startgarten::test_support
