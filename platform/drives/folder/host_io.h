#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/system/descriptor.h"
#include "platform/system/file_bytes.h"
#include "platform/windows/file_types.h"

// Reading and writing open host files, for the drives that keep their files on the host.
namespace startgarten::platform {

// Reads a whole regular file from the descriptor, which it closes, never more than limit bytes.
// A directory or device gives EACCES, as opening one for reading does on Windows.
BytesRead ReadOpenFile(Descriptor fd, size_t limit);
// The same from a descriptor that stays open, from where it stands.
BytesRead ReadHeldFile(int fd, size_t limit);

// Writes every byte. Returns 0 or an errno value.
int WriteAll(int fd, std::string_view bytes);

// The DOS attributes of an open file: directory or archive; read-only when no write permission
// bit is set; hidden and system from the FAT attributes on a FAT mount, else from the extended
// attribute user.DOSATTRIB. Hidden and system count as not set where they cannot be read.
uint32_t HostDosAttributes(int fd, const struct stat& status);

// Whether the open file lies on a FAT mount, which keeps read-only, hidden, system and archive in
// its directory entry: 0 with isFat set, or the errno value of the failed question.
int FileSystemIsFat(int fd, bool& isFat);

// Makes the renames in the open directory durable. Elsewhere a flush of the directory does that;
// on a FAT mount (onFat) it does not: the driver writes a renamed file's directory entry (its
// first cluster and size) only with the file itself, never with the directory, and the clusters
// of a version it replaced are freed in the FAT. So there everything of the volume is written at
// once (syncfs), and the directory's flush after it takes it through the disk's cache. Returns 0
// or an errno value.
int FlushRenames(int directory, bool onFat);

// Makes the removals in the open directory durable where the file system needs that to stay
// whole: on FAT (onFat), which has no journal, the directory's flush writes the removed entries
// first and then the FAT that frees their clusters, so that a power cut in between leaves lost
// clusters, never an entry that names free ones. Elsewhere it does nothing. Returns 0 or an errno
// value.
int FlushRemovals(int directory, bool onFat);

}  // namespace startgarten::platform
