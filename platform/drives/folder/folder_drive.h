#pragma once

#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "platform/drives/drive.h"
#include "platform/drives/folder/way_choice.h"
#include "platform/system/descriptor.h"

namespace startgarten::platform {

// A drive that is a folder of the host (dosdevices/x: a folder or a link to one). Every path is
// resolved beneath the folder with openat2(2) from a descriptor of it: a link inside the drive
// works as long as it stays inside, and attributes are changed through descriptors, never
// through a link.
class FolderDrive : public Drive {
 public:
  // The drive for the folder at location (a link to it is followed); none when it cannot be
  // opened.
  static std::unique_ptr<FolderDrive> Open(const std::string& location);

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
  FolderDrive(Descriptor root, std::string realRoot)
      : root_(std::move(root)), realRoot_(std::move(realRoot)) {}

  // openat2 of a path below the root ("" for the root itself), with further resolve flags.
  Descriptor OpenBelow(const std::string& path, int flags, mode_t mode = 0,
                       uint64_t resolve = 0) const;
  // The path of an entry as the drive spells it, links resolved; none when it lies off the drive.
  std::optional<std::string> PathOf(int fd) const;
  // An existing entry in the drive's spelling, or why there is none: it leads off the drive, or
  // the errno value of the failed lookup (ENOENT: there is none).
  struct Found {
    bool found = false;
    bool offTheDrive = false;
    int error = 0;
    std::string path;

    static Found At(std::string path) { return {true, false, 0, std::move(path)}; }
    // openat2 refuses a path that would leave the root (EXDEV) or pass a magic link (ELOOP).
    static Found Failed(int error) { return {false, error == EXDEV || error == ELOOP, error, {}}; }
  };
  // The entry named name (code page 1252) in directory, matched without regard to case.
  Found MatchName(const std::string& directory, std::string_view name, bool wantDirectory);
  Found Probe(const std::string& path, bool directory);

  Descriptor root_;       // O_PATH descriptor of the drive's folder
  std::string realRoot_;  // its path, links resolved
  FolderCalls calls_;
};

}  // namespace startgarten::platform
