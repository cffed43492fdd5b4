#include "platform/drives/folder/folder_versions.h"

#include <cerrno>

#include "platform/drives/folder/host_attributes.h"
#include "platform/system/file_system.h"

namespace startgarten::platform {

int FolderVersions::Rename(const std::string& from, const std::string& to, unsigned flags) const {
  return file_system::RenameAt(directory.Get(), from.c_str(), directory.Get(), to.c_str(), flags) ==
                 0
             ? 0
             : errno;
}

int FolderVersions::Link(const std::string& from, const std::string& to) const {
  return file_system::LinkAt(directory.Get(), from.c_str(), directory.Get(), to.c_str()) == 0
             ? 0
             : errno;
}

int FolderVersions::Unlink(const std::string& entry) const {
  return file_system::UnlinkAt(directory.Get(), entry.c_str()) == 0 ? 0 : errno;
}

int FolderVersions::Settle(uint32_t fat) const {
  return onFat ? SettleFatAttributes(directory.Get(), name, fat) : 0;
}

}  // namespace startgarten::platform
