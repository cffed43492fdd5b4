#pragma once

#include <cstdint>
#include <string_view>

namespace startgarten::platform {

inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeHidden = 0x02;
inline constexpr uint32_t kAttributeSystem = 0x04;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFF;

// The DOS attributes of a file: read-only from the write permission bits; hidden and system
// from the FAT attributes on a FAT mount, else from the extended attribute user.DOSATTRIB as
// Wine and Samba keep it. kInvalidFileAttributes when the file does not exist.
uint32_t GetFileAttributes(std::string_view dosPath);

// Sets the DOS attributes. Returns a Windows error code, 0 on success.
uint32_t SetFileAttributes(std::string_view dosPath, uint32_t attributes);

}  // namespace startgarten::platform
