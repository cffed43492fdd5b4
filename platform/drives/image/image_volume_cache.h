#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/file_bytes.h"
#include "platform/windows/file_types.h"

// What an image volume has read of the FAT volume's directories and files. It is kept while the
// image file's size and modification time stay the same, and a change that the volume makes
// itself keeps it true: the volume tells what it changed, and what the change makes untrue is
// dropped. It runs nothing itself.
namespace startgarten::platform {

struct ImageEntry {
  std::string name;         // code page 1252: the long name, else the short name with its case
  uint32_t attributes = 0;  // the directory entry's attribute bits (file_types.h)
  bool IsDirectory() const { return (attributes & kAttributeDirectory) != 0; }
};

class ImageVolumeCache {
 public:
  // A directory: the names of the folders from the root (code page 1252, any letter case).
  using Folders = std::vector<std::string>;

  struct Entry {
    ImageEntry entry;
    std::string utf8;  // the exact name, as mtools writes it
  };
  struct Listing {
    std::vector<std::string> utf8Path;  // the folders' exact names from the root
    std::vector<Entry> entries;
  };

  // image: the image file, open for as long as the cache is used.
  explicit ImageVolumeCache(int image) : image_(image) {}

  // Drops everything when the image file is not as it was when last looked at.
  void Revalidate();

  const Listing* FindListing(const Folders& directory) const;
  const Listing& KeepListing(const Folders& directory, Listing listing);

  // The kept read of a file, answering a read of limit bytes: complete bytes answer any limit, an
  // error or an overflow only an equally large one. None when there is no such read.
  std::optional<BytesRead> FindRead(const Folders& directory, std::string_view name,
                                    size_t limit) const;
  // Keeps what a read of limit bytes gave when it lasts until the image changes: the bytes, or
  // that there is no such file or it is a folder. A failure to read (a failing disk) may pass.
  void KeepRead(const Folders& directory, std::string_view name, size_t limit,
                const BytesRead& read);

  // The volume's own changes, each made and flushed; the image as it is now is the one described.
  // A new file in the directory, replacing the entry of that exact name.
  void Added(const Folders& directory, Entry added);
  // The file named from took the name to (both as mtools writes them), with its own attributes,
  // replacing the entry of that name (of any letter case) if there was one.
  void Renamed(const Folders& directory, std::string_view from, std::string_view to);
  // What the directory holds changed otherwise.
  void Changed(const Folders& directory);
  // Anything may have changed (a folder that moved with everything in it).
  void ChangedAll();

 private:
  struct KeptRead {
    BytesRead result;
    size_t limit = 0;
  };

  void Restamp();
  void ForgetReads(const Folders& directory);

  int image_;
  // The image's size and modification time that the kept reads describe.
  int64_t size_ = -1;
  int64_t modified_ = -1;
  std::map<std::string, Listing> listings_;  // by directory, in capitals
  std::map<std::string, KeptRead> reads_;    // by path, in capitals
};

}  // namespace startgarten::platform
