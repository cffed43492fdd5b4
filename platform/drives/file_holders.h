#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// Which other processes hold a drive's file (its folder, a disk image, an export's folder), as
// /proc shows them, and the programs they run, named for a message. /proc is read with the
// system calls themselves: that is no file operation on a drive, and a part that cannot be read
// (another user's process, one that ended meanwhile) only hides that process.
namespace startgarten::platform {

// A process named for a message: pid 0 and no program when it cannot be seen.
struct FileHolder {
  pid_t pid = 0;
  std::string program;  // code page 1252
};

// The name of the program that a process runs: its executable's file name, else the first word
// of its command line, else the kernel's name of it (cut to 15 bytes); empty when /proc does not
// show the process.
std::string ProgramNameOf(pid_t pid);

// How another process has the file open, over all of its descriptors of it: for writing, and
// with a lock held through one of them.
struct FileOpening {
  pid_t pid = 0;
  bool writes = false;
  bool locks = false;
};

// The processes other than this one that have the file open (matched by device and inode, as the
// kernel holds them, so that a hung network or FUSE file system is not asked).
std::vector<FileOpening> FindOpenings(const struct stat& file);

// The holder of a lock on the file: a process that holds one through a descriptor of it, else the
// process that /proc/locks names for it (another user's), else an unseen one. None when no lock
// of the file is seen at all.
std::optional<FileHolder> FindLockHolder(const struct stat& file);

}  // namespace startgarten::platform
