#pragma once

#include <memory>
#include <string>

#include "platform/drives/drive.h"
#include "platform/system/descriptor.h"

// The completion of a command that a crash interrupted, on a folder drive.
namespace startgarten::platform {

// The version named name in the directory (open for reading), left for the file target there,
// read and held open (file; not open when it could not be opened, read then says why). It is
// renamed within the directory it was opened in, and only when its name, looked at right before,
// still leads to the open file: under the drive's lock no other writer moves it, and a file put
// under that name since is not moved.
std::unique_ptr<FoundVersion> FolderFoundVersion(Descriptor directory, Descriptor file,
                                                 std::string name, std::string target,
                                                 ReadFileResult read);

}  // namespace startgarten::platform
