#pragma once

#include <sys/stat.h>

#include <cstdint>

// How the DOS attributes of an open file are kept on the host: read-only as the absence of every
// write permission bit; hidden and system in the FAT attributes on a FAT mount, elsewhere in the
// extended attribute user.DOSATTRIB as Wine and Samba keep it.
namespace startgarten::platform {

bool IsReadOnly(const struct stat& status);

// The attribute word as Wine reports it: directory or archive, read-only, hidden, system.
uint32_t ReadDosAttributes(int fd, const struct stat& status);

// Stores the read-only, hidden and system bits of attributes; the others cannot be stored and
// are ignored, and so are hidden and system on a file system without extended attributes.
// Read-only applies to files only. Returns 0 or an errno value.
int WriteDosAttributes(int fd, const struct stat& status, uint32_t attributes);

}  // namespace startgarten::platform
