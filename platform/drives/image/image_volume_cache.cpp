#include "platform/drives/image/image_volume_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include <cerrno>
#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

// The key of a directory, and of a file with its name: each name after a "\", in capitals.
std::string Key(const ImageVolumeCache::Folders& folders, std::string_view name = {}) {
  std::string key;
  const auto append = [&key](std::string_view part) {
    key += '\\';
    for (const char c : part) key += ToUpperCp1252(c);
  };
  for (const std::string& folder : folders) append(folder);
  if (!name.empty()) append(name);
  return key;
}

BytesRead Copy(const BytesRead& read) {
  BytesRead copy;
  copy.error = read.error;
  copy.tooLarge = read.tooLarge;
  copy.bytes.Resize(read.bytes.size());
  if (!read.bytes.empty()) std::memcpy(copy.bytes.Room(), read.bytes.data(), read.bytes.size());
  return copy;
}

}  // namespace

void ImageVolumeCache::Revalidate() {
  const int64_t size = size_, modified = modified_;
  Restamp();
  if (size_ != size || modified_ != modified) {
    listings_.clear();
    reads_.clear();
  }
}

void ImageVolumeCache::Restamp() {
  struct stat status;
  if (::fstat(image_, &status) != 0) {
    size_ = -1;
    return;
  }
  size_ = status.st_size;
  modified_ = int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
}

const ImageVolumeCache::Listing* ImageVolumeCache::FindListing(const Folders& directory) const {
  const auto found = listings_.find(Key(directory));
  return found == listings_.end() ? nullptr : &found->second;
}

const ImageVolumeCache::Listing& ImageVolumeCache::KeepListing(const Folders& directory,
                                                               Listing listing) {
  return listings_[Key(directory)] = std::move(listing);
}

std::optional<BytesRead> ImageVolumeCache::FindRead(const Folders& directory, std::string_view name,
                                                    size_t limit) const {
  const auto found = reads_.find(Key(directory, name));
  if (found == reads_.end()) return std::nullopt;
  const auto& [kept, keptLimit] = found->second;
  if (!kept.error && kept.tooLarge && keptLimit < limit) return std::nullopt;
  if (kept.error || kept.tooLarge || kept.bytes.size() <= limit) return Copy(kept);
  BytesRead tooLarge;
  tooLarge.tooLarge = true;
  return tooLarge;
}

void ImageVolumeCache::KeepRead(const Folders& directory, std::string_view name, size_t limit,
                                const BytesRead& read) {
  const bool lasting =
      read.error == 0 || read.error == ENOENT || read.error == ENOTDIR || read.error == EACCES;
  if (lasting) {
    reads_[Key(directory, name)] = {Copy(read), limit};
  } else {
    reads_.erase(Key(directory, name));
  }
}

void ImageVolumeCache::Added(const Folders& directory, Entry added) {
  reads_.erase(Key(directory, added.entry.name));
  if (const auto found = listings_.find(Key(directory)); found != listings_.end()) {
    std::vector<Entry>& entries = found->second.entries;
    std::erase_if(entries, [&](const Entry& entry) { return entry.utf8 == added.utf8; });
    entries.push_back(std::move(added));
  }
  Restamp();
}

void ImageVolumeCache::Renamed(const Folders& directory, std::string_view from,
                               std::string_view to) {
  ForgetReads(directory);
  Restamp();
  const auto listing = listings_.find(Key(directory));
  if (listing == listings_.end()) return;
  std::vector<Entry>& entries = listing->second.entries;
  const auto named = [&](std::string_view name) {
    return std::find_if(entries.begin(), entries.end(), [&](const Entry& entry) {
      return EqualsIgnoreCase(entry.entry.name, Utf8ToCp1252(name));
    });
  };
  const auto source = named(from);
  if (source == entries.end()) {
    listings_.erase(listing);
    return;
  }
  const uint32_t attributes = source->entry.attributes;
  entries.erase(source);
  if (const auto target = named(to); target != entries.end()) {
    target->entry.attributes = attributes;
  } else {
    entries.push_back({{Utf8ToCp1252(to), attributes}, std::string(to)});
  }
}

void ImageVolumeCache::Changed(const Folders& directory) {
  listings_.erase(Key(directory));
  ForgetReads(directory);
  Restamp();
}

void ImageVolumeCache::ChangedAll() {
  listings_.clear();
  reads_.clear();
  Restamp();
}

// The reads of the directory's files under any of their names: the directory's key, "\" and a
// name without another.
void ImageVolumeCache::ForgetReads(const Folders& directory) {
  const std::string key = Key(directory) + "\\";
  std::erase_if(reads_, [&](const auto& read) {
    return read.first.starts_with(key) && read.first.find('\\', key.size()) == std::string::npos;
  });
}

}  // namespace startgarten::platform
