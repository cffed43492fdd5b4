#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "bench/bench_drive.h"

namespace startgarten::bench {

// The key that the profile benchmarks read and write: the last line of every generated file, so
// that finding it takes a pass over the whole file.
inline constexpr const char* kLastSection = "Last";
inline constexpr const char* kLastKey = "LastKey";

struct ProfileFile {
  std::string dosPath;
  std::filesystem::path hostPath;
};

// Writes, once per size, an INI file of exactly size bytes to drive c: in the shape of a boot
// file (sections of key lines, CR LF, a ';' padding line) ending with kLastKey=0 in kLastSection.
ProfileFile ProfileFileOfSize(const BenchDrive& drive, size_t size);

// The name of a file size for the figures: "1 KiB", "16 MiB".
std::string SizeName(size_t size);

}  // namespace startgarten::bench
