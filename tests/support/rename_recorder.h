#pragma once

#include <string>
#include <vector>

// Every file the program writes is put in place by one rename. A test executable linked with
// -Wl,--wrap=renameat2 sees each of them here, with the bytes the renamed file holds at that
// moment: the successive versions of each file, in the order the program wrote them.
namespace startgarten::test_support {

struct RenamedFile {
  unsigned long operation;  // the number of the rename among the file operations
  std::string target;       // the host path it was renamed to
  std::string bytes;
};

void StartRecordingRenames();
// The renames since StartRecordingRenames, which ends the recording.
std::vector<RenamedFile> StopRecordingRenames();

}  // namespace startgarten::test_support
