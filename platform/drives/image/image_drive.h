#pragma once

#include <string>

#include "platform/drives/drive.h"
#include "platform/drives/image/image_volume.h"

namespace startgarten::platform {

// A drive that is the FAT volume inside a disk image file (dosdevices/x: a file or a link to
// one), changed through mtools. Paths are the names joined with "\", in capitals: FAT matches
// names without regard to case, and a new short name is kept in capitals.
class ImageDrive : public Drive {
 public:
  // Throws Error with a message that names the file and what it holds when it holds no FAT
  // volume that can be used.
  explicit ImageDrive(const std::string& location) : volume_(location) {}

  ResolvedPath Resolve(const std::vector<std::string_view>& names) override;
  FileStatus Status(const std::string& path) override;
  ReadFileResult ReadFile(const std::string& path, size_t limit) override;
  uint32_t Rename(const std::string& from, const std::string& to) override;
  Preparation Prepare(const std::string& path, std::string_view bytes, NewAttributes attributes,
                      unsigned index) override;
  std::unique_ptr<DriveLock> LockForWriting() override;
  std::unique_ptr<FoundVersion> FindVersion(const std::string& path, const std::string& name,
                                            size_t limit) override;
  uint32_t Remove(const std::string& path) override;
  void RemoveTemporaryFiles(const std::string& directory) override;
  bool IsGone() const override;

 private:
  ImageVolume volume_;
};

}  // namespace startgarten::platform
