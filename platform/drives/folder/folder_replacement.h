#pragma once

#include <string>
#include <string_view>

#include "platform/drives/drive.h"
#include "platform/system/descriptor.h"

// New versions of files in a folder of the host: written beside the file under a temporary name,
// then put in place with the calls the file system offers.
namespace startgarten::platform {

// The calls of renameat2 and link that a folder's file system has not refused so far: each is
// tried until the file system answers that it lacks it, and then no more. A file or folder that
// refuses one (EPERM) is replaced another way, and the next command tries the call again.
struct FolderCalls {
  bool exchange = true;
  bool noReplace = true;
  bool links = true;
};

// Writes bytes as the new version of the file name in the directory (open, and then the prepared
// file's; directoryPath is its path on the drive), flushed and with its final owner, permission
// bits, extended attributes and DOS attributes: those of the file it replaces, or a new file's.
// calls are the drive's, which must outlive the prepared file.
Preparation PrepareInFolder(Descriptor directory, const std::string& directoryPath,
                            const std::string& name, std::string_view bytes,
                            NewAttributes attributes, unsigned index, FolderCalls& calls);

// Puts a new version left by an interrupted command in place of the file name in the directory,
// replacing it (an empty temporary when it is in place already), and gives it the DOS attributes
// where a FAT driver may have changed them on the rename. Returns a Windows error code.
uint32_t CompleteInFolder(int directory, const std::string& temporary, const std::string& name,
                          uint32_t attributes);

}  // namespace startgarten::platform
