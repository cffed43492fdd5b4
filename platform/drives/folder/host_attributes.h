#pragma once

#include <linux/msdos_fs.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/drives/drive.h"

// The attributes a new version of a host file takes over from the file it replaces: on a FAT
// mount those of its directory entry, elsewhere its owner, extended attributes and permission
// bits.
namespace startgarten::platform {

// The FAT attribute bits a replacement keeps: read-only, hidden, system and archive.
inline constexpr uint32_t kFatProtective = ATTR_RO | ATTR_HIDDEN | ATTR_SYS;
inline constexpr uint32_t kFatKept = kFatProtective | ATTR_ARCH;

// Owner, extended attributes and permission bits of the old file (open as from, its status old)
// for the new one (to). A file created anew gets normal DOS attributes in user.DOSATTRIB.
// Returns 0 or an errno value.
int CopyHostAttributes(int from, const struct stat& old, int to, NewAttributes attributes);

// The FAT attributes of an open file on a FAT mount: 0 or an errno value.
int FatAttributes(int fd, uint32_t& attributes);

// Gives the file in the directory exactly these FAT attributes where it lacks them: the msdos
// driver sets or clears the hidden bit on every rename from whether the new name begins with a
// dot. Returns 0 or an errno value.
int SettleFatAttributes(int directory, const std::string& name, uint32_t attributes);

}  // namespace startgarten::platform
