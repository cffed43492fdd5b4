#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/system/descriptor.h"

// A file of a folder drive and its new version beside it: what every way of putting the new
// version in place works on. Every call here answers 0 or an errno value.
namespace startgarten::platform {

struct FolderVersions {
  Descriptor directory;    // the file's directory, open for reading
  std::string name;        // the file's name in it
  std::string temporary;   // where the new version waits beside the file
  std::string oldVersion;  // where a way that needs one keeps the old version on the drive
  Descriptor old;          // the file replaced, open for reading; not open for a file created anew
  struct stat oldStatus {};
  bool onFat = false;
  uint32_t oldFat = 0;  // on a FAT mount, the old version's FAT attributes
  uint32_t newFat = 0;  // and those that the new version ends with

  // renameat2 within the directory.
  int Rename(const std::string& from, const std::string& to, unsigned flags) const;
  int Link(const std::string& from, const std::string& to) const;
  int Unlink(const std::string& entry) const;
  // On a FAT mount, gives the file under the file's name these FAT attributes where a rename may
  // have changed them (the msdos driver sets the hidden bit from the name); elsewhere nothing.
  int Settle(uint32_t fat) const;
};

}  // namespace startgarten::platform
