#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/descriptor.h"
#include "platform/system/process.h"

// The programs of mtools, run on the FAT volume inside an image file. They get the image as a
// descriptor of this process (so they work on the very file that was recognised and locked, even
// if its name is changed meanwhile) and a fixed environment of their own: the user's ~/.mtoolsrc
// is never found, our configuration file is read after the system's /etc/mtools.conf (which
// mtools always reads), every setting that changes names or behaviour is pinned in both it and
// the environment (which wins over both files), and names pass as UTF-8.
namespace startgarten::platform {

struct MtoolsResult {
  int error = 0;          // 0 or an errno value
  bool tooLarge = false;  // the output passed the limit; the program was stopped
  std::string output;
  std::string errors;  // what the program reported, for diagnosis
};

class Mtools {
 public:
  // imageFd stays open and owned by the caller while this object is used; volumeOffset is the
  // volume's first byte in the image.
  Mtools(int imageFd, uint64_t volumeOffset,
         std::chrono::milliseconds timeout = std::chrono::seconds(30));
  Mtools(const Mtools&) = delete;
  Mtools& operator=(const Mtools&) = delete;

  // Runs program ("mcopy", "mattrib", ...) with the image option and then arguments; input goes
  // to its standard input. More than outputLimit bytes of output stop it with tooLarge.
  MtoolsResult Run(std::string_view program, const std::vector<std::string>& arguments,
                   std::string_view input = {}, size_t outputLimit = 1 << 20) const;

  // The image from now on: another opening of the same disk (an export of it).
  void SetImage(int imageFd) { imageFd_ = imageFd; }

  // Descriptors that the programs started from now on keep open: the lock on the image and the
  // keep-alive pipe of its export, so that they last until the last of them has ended.
  void KeepOpenInPrograms(std::vector<int> fds) { heldFds_ = std::move(fds); }

  // The number of programs run so far, for the benchmarks.
  unsigned long Calls() const { return calls_; }

  // Whether mtools is installed where Run looks for it.
  static bool Installed();

 private:
  std::vector<std::string> Environment() const;

  int imageFd_;
  uint64_t volumeOffset_;
  std::chrono::milliseconds timeout_;
  Descriptor config_;  // the configuration file
  std::vector<int> heldFds_;
  mutable unsigned long calls_ = 0;
};

// The errno value for how a program of mtools ended: 0 when it succeeded, else from the message it
// wrote (ENOENT, ENOSPC, EACCES, ...), EIO when it hung or crashed (a damaged image),
// kUnexplainedFailure for anything else.
int MtoolsError(const ProcessResult& result);

}  // namespace startgarten::platform
