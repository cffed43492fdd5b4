#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/drives/drive.h"
#include "platform/drives/folder/folder_versions.h"
#include "platform/drives/folder/replacement_way.h"
#include "platform/drives/folder/way_choice.h"
#include "platform/system/descriptor.h"

// The new version of a file in a folder of the host: written beside the file under a temporary
// name, flushed, with its final attributes, then put in place the best way the file system offers
// (way_choice.h). Its own calls answer 0 or an errno value; those of the drive interface
// (PreparedFile) answer Windows error codes.
namespace startgarten::platform {

class FolderReplacement : public PreparedFile {
 public:
  // The new version of the file name in the directory (open; directoryPath is its path on the
  // drive), the index-th file of its command. calls are the drive's, which must outlive it.
  FolderReplacement(Descriptor directory, std::string directoryPath, std::string name,
                    unsigned index, FolderCalls& calls);
  ~FolderReplacement() override;
  FolderReplacement(const FolderReplacement&) = delete;
  FolderReplacement& operator=(const FolderReplacement&) = delete;

  // Opens the file it replaces, where there is one (Resolve followed every link on the way), and
  // creates the new version beside it.
  int Create();
  // Writes bytes as the new version, with the owner, permission bits, extended attributes and DOS
  // attributes of the file it replaces, or a new file's, and flushes it.
  int Write(std::string_view bytes, NewAttributes attributes);

  uint32_t PutInPlace() override;
  uint32_t TakeBack() override;
  uint32_t SyncDirectory() override;
  std::string DirectoryKey() const override;
  void RemoveOldVersion() override;
  std::string TemporaryPath() const override;
  uint32_t Attributes() const override { return attributes_; }
  void KeepForNextStart() override { done_ = true; }

 private:
  // Whether the new version waits beside the file under its temporary name, ours to remove.
  bool Beside() const { return created_ && !done_ && (!way_ || way_->Beside()); }

  FolderCalls& calls_;
  FolderVersions versions_;
  std::string directoryPath_;
  Descriptor new_;  // the new version, open for writing from Create to Write
  bool created_ = false;
  bool done_ = false;  // the old version removed, or the new one kept for the next start
  std::unique_ptr<ReplacementWay> way_;  // the way that moved the new version
  uint32_t attributes_ = 0;
};

}  // namespace startgarten::platform
