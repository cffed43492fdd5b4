#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/disk_images.h"

namespace startgarten::test_support {

// Something a user may name or choose as drive C that is no Windows 95 boot drive, and what the
// box before the window says was found there (code page 1252; \344 is a umlaut, \205 an ellipsis).
struct DeadEndDrive {
  const char* situation;
  std::filesystem::path path;
  std::string found;
};

// Makes them in base: an empty folder, a folder of other files, a file that is no image, a FIFO,
// an image of zeros without a FAT volume; and names a device.
inline std::vector<DeadEndDrive> MakeDeadEndDrives(const std::filesystem::path& base) {
  const auto write = [&base](const char* name, const std::string& bytes) {
    std::filesystem::create_directories((base / name).parent_path());
    WriteHostBytes(base / name, bytes);
  };
  std::filesystem::create_directories(base / "empty");
  for (const char* name : {"other/io.sys", "other/WINDOWS/WIN.COM", "other/COMMAND.COM"})
    write(name, "");
  write("notes.txt", std::string(4096, 'x'));
  ::mkfifo((base / "fifo").c_str(), 0600);
  write("zeros.img", std::string(size_t{1} << 20, '\0'));
  const auto noFat = [&base](const char* name) {
    return "Die Abbilddatei " + (base / name).string() +
           " enth\344lt weder ein FAT-Laufwerk noch eine Partitionstabelle.";
  };
  return {
      {"an empty folder", base / "empty", "Dort ist ein leerer Ordner."},
      {"a folder of other files", base / "other",
       "Dort ist ein Ordner ohne MSDOS.SYS. Er enth\344lt: COMMAND.COM, WINDOWS, io.sys"},
      {"a file that is no image", base / "notes.txt", noFat("notes.txt")},
      {"a FIFO", base / "fifo",
       "Dort ist eine benannte Pipe (FIFO), weder ein Ordner noch eine Abbilddatei."},
      {"a device", "/dev/zero",
       "Dort ist eine Ger\344tedatei, weder ein Ordner noch eine Abbilddatei."},
      {"an image without a FAT volume", base / "zeros.img", noFat("zeros.img")},
  };
}

}  // namespace startgarten::test_support
