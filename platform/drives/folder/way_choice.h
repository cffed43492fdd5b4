#pragma once

#include <memory>

#include "platform/drives/folder/folder_versions.h"
#include "platform/drives/folder/replacement_way.h"

// Which way a new version takes into its file's place: chosen here alone, from the calls that the
// drive's file system has not refused so far.
namespace startgarten::platform {

// The calls of renameat2 and link that a folder's file system has not refused so far: each is
// tried until the file system answers that it lacks it, and then no more on that drive. A file or
// folder that refuses one (EPERM) is replaced another way, and the next command tries the call
// again.
struct FolderCalls {
  bool exchange = true;
  bool noReplace = true;
  bool links = true;
};

struct Placement {
  int error = 0;  // 0, or the errno value of the call that failed
  // The way that moved the new version, to take it back; none when nothing moved.
  std::unique_ptr<ReplacementWay> way;
};

// Puts the new version in place the best way that the drive's calls and the file allow: a file
// that exists is replaced, one that does not (versions.old not open) is created.
Placement PutInPlaceBestWay(FolderVersions& versions, FolderCalls& calls);

}  // namespace startgarten::platform
