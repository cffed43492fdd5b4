// How the image volume finds what it holds: paths taken apart, the listings of directories read
// with mattrib (and kept in the cache), an entry found in them by its long or short name, and a
// file's bytes read with mtype. Apart from the image's access life cycle (image_volume.cpp) and
// from the changes (image_volume_changes.cpp), which both build on these look-ups.
#include "platform/drives/image/image_volume.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/drives/drive_path.h"
#include "platform/drives/image/mtools_listing.h"
#include "platform/windows/cp1252.h"

namespace startgarten::platform {

namespace {

namespace text = mtools_text;

std::vector<std::string> Utf8(const std::vector<std::string>& names) {
  std::vector<std::string> converted;
  converted.reserve(names.size());
  for (const std::string& name : names) converted.push_back(Cp1252ToUtf8(name));
  return converted;
}

}  // namespace

std::string ImageVolume::Listed::VolumePath() const {
  return text::VolumePath(listing->utf8Path, text::Literal(entry->utf8));
}

// The names of a path, separated by "/" or "\"; none when one is not a valid name.
std::optional<ImageVolume::Folders> ImageVolume::ParseFolders(std::string_view text) {
  Folders names;
  while (!text.empty()) {
    const size_t end = std::min(text.find_first_of("/\\"), text.size());
    const std::string_view name = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (name.empty()) continue;
    if (!IsValidFileName(name)) return std::nullopt;
    names.emplace_back(name);
  }
  return names;
}

std::optional<ImageVolume::Path> ImageVolume::ParsePath(std::string_view text) {
  std::optional<Folders> names = ParseFolders(text);
  if (!names) return std::nullopt;
  Path path;
  if (!names->empty()) {
    path.name = std::move(names->back());
    names->pop_back();
  }
  path.directories = std::move(*names);
  return path;
}

const ImageVolume::Listing* ImageVolume::ListDirectory(const Folders& directories, int& error) {
  if (const Listing* kept = cache_.FindListing(directories)) return kept;
  Listing listing;
  if (!directories.empty()) {
    const Listed self =
        FindListed({{directories.begin(), directories.end() - 1}, directories.back()});
    if (self.error || !self.entry->entry.IsDirectory()) {
      error = !self.error || self.error == ENOENT ? ENOTDIR : self.error;
      return nullptr;
    }
    listing.utf8Path = self.listing->utf8Path;
    listing.utf8Path.push_back(self.entry->utf8);
  }
  const MtoolsResult result = Run(
      Access::kRead, "mattrib", {"-X", text::VolumePath(listing.utf8Path, "*")}, {}, kListingLimit);
  // An empty directory matches nothing; the root has not even "." and "..".
  if ((result.error && result.error != ENOENT) || result.tooLarge) {
    error = result.tooLarge ? ENOMEM : result.error;
    return nullptr;
  }
  // A long name with a line break would read as more entries: a directory with one is not read.
  const auto lines = text::ParseAttributeListing(result.output);
  if (!lines ||
      (!lines->empty() && Run(Access::kRead, "mattrib",
                              {"-X", text::VolumePath(listing.utf8Path, text::kLineBreakPattern)})
                                  .error != ENOENT)) {
    error = EIO;
    return nullptr;
  }
  for (const text::AttributeLine& line : *lines) {
    listing.entries.push_back({{Utf8ToCp1252(line.name), line.attributes}, line.name});
  }
  return &cache_.KeepListing(directories, std::move(listing));
}

ImageVolume::Listed ImageVolume::FindListed(const Path& path) {
  Listed listed;
  listed.listing = ListDirectory(path.directories, listed.error);
  if (!listed.listing) return listed;

  const auto matches = [&](std::string_view name) {
    std::vector<const ImageVolumeCache::Entry*> found;
    for (const ImageVolumeCache::Entry& entry : listed.listing->entries) {
      if (EqualsIgnoreCase(entry.entry.name, name)) found.push_back(&entry);
    }
    return found;
  };
  std::vector<const ImageVolumeCache::Entry*> found = matches(path.name);
  // A listing shows long names only; a short alias such as "PROGRA~1" is asked for by itself,
  // as a pattern, which mdir shows with its long name.
  if (found.empty() && path.name.find('~') != std::string::npos) {
    if (const auto pattern = text::FileOnly(Cp1252ToUtf8(path.name))) {
      const MtoolsResult result =
          Run(Access::kRead, "mdir",
              {"-a", "-f", "-d", text::VolumePath(listed.listing->utf8Path, *pattern)});
      const auto lines = text::ParseClusterListing(result.output);
      if (!result.error && lines && lines->size() == 1) {
        const text::ClusterLine& line = lines->front();
        found = matches(Utf8ToCp1252(line.longName.empty() ? line.shortName : line.longName));
      }
    }
  }
  if (found.empty()) {
    listed.error = ENOENT;
  } else if (found.size() > 1) {
    listed.error = EIO;  // two entries of one name: mtools would act on both
  } else {
    listed.entry = found.front();
  }
  return listed;
}

FindResult ImageVolume::Find(std::string_view path) {
  const Call call(*this);
  cache_.Revalidate();
  const auto parsed = ParsePath(path);
  if (!parsed) return {ENOTDIR, {}};
  if (parsed->name.empty()) return {0, {"", kAttributeDirectory}};
  const Listed listed = FindListed(*parsed);
  if (listed.error) return {listed.error, {}};
  return {0, listed.entry->entry};
}

BytesRead ImageVolume::ReadFromVolume(const Path& path, size_t limit) {
  // The wildcard form reads a file and never the files of a directory of that name.
  const auto pattern = text::FileOnly(Cp1252ToUtf8(path.name));
  MtoolsResult read;
  read.error = ENOENT;
  if (pattern) {
    read = Run(Access::kRead, "mtype", {text::VolumePath(Utf8(path.directories), *pattern)}, {},
               limit);
  }
  if (read.error == ENOENT) {
    // Which part is missing, or whether it is a directory, the listings tell.
    const Listed listed = FindListed(path);
    read.error = listed.error ? listed.error : listed.entry->entry.IsDirectory() ? EACCES : ENOENT;
  }
  BytesRead result;
  result.error = read.error;
  result.tooLarge = !read.error && read.tooLarge;
  if (!result.error && !result.tooLarge) {
    result.bytes.Resize(read.output.size());
    std::copy(read.output.begin(), read.output.end(), result.bytes.Room());
  }
  return result;
}

BytesRead ImageVolume::Read(std::string_view path, size_t limit) {
  const Call call(*this);
  cache_.Revalidate();
  const auto parsed = ParsePath(path);
  if (!parsed || parsed->name.empty()) {
    BytesRead refused;
    refused.error = parsed ? EACCES : ENOTDIR;
    return refused;
  }
  if (std::optional<BytesRead> kept = cache_.FindRead(parsed->directories, parsed->name, limit))
    return std::move(*kept);
  BytesRead read = ReadFromVolume(*parsed, limit);
  cache_.KeepRead(parsed->directories, parsed->name, limit, read);
  return read;
}

}  // namespace startgarten::platform
