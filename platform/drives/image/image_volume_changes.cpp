// How the image volume changes files: a temporary file written and flushed, put in the place of
// its target by one mmove, taken back again; renames, removals and the clearing of stale
// temporary files. Apart from the image's access life cycle (image_volume.cpp) and from the
// look-ups (image_volume_reads.cpp), on which every change here builds.
#include "platform/drives/image/image_volume.h"

#include <algorithm>
#include <cerrno>
#include <map>

#include "platform/drives/drive_path.h"
#include "platform/drives/image/image_messages.h"
#include "platform/drives/image/mtools_listing.h"
#include "platform/drives/image/temporary_name_case.h"
#include "platform/drives/temporary_names.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"

namespace startgarten::platform {

namespace {

namespace text = mtools_text;

// The largest old content that Replace keeps for Undo: above the largest picture and boot file.
constexpr size_t kUndoLimit = size_t{64} << 20;
// The index of the temporary file that Undo writes, apart from those of the command.
constexpr unsigned kUndoIndex = 0xFF;

// The key of a file in the sets of names kept (a directory and a name, in capitals).
std::string Key(const std::vector<std::string>& folders, std::string_view name) {
  std::string key;
  for (const std::string& folder : folders) (key += '\\') += folder;
  (key += '\\') += name;
  for (char& c : key) c = ToUpperCp1252(c);
  return key;
}

// The mattrib arguments that give a file exactly these attributes.
std::vector<std::string> AttributeArguments(uint32_t attributes) {
  const std::pair<uint32_t, const char*> flags[] = {{kAttributeReadOnly, "r"},
                                                    {kAttributeHidden, "h"},
                                                    {kAttributeSystem, "s"},
                                                    {kAttributeArchive, "a"}};
  std::vector<std::string> arguments;
  for (const auto& [bit, letter] : flags) {
    arguments.push_back(std::string(attributes & bit ? "+" : "-") + letter);
  }
  return arguments;
}

}  // namespace

TemporaryFile ImageVolume::WriteTemporary(std::string_view directory, unsigned index,
                                          std::string_view bytes, uint32_t attributes,
                                          std::string_view letterCaseOf) {
  if (files_.streamOptimized)
    throw Error(FormatMessageText(messages::kImageStreamOptimized, name_));
  const Call call(*this, true);
  cache_.Revalidate();
  const auto directories = ParseFolders(directory);
  if (!directories) return {ENOTDIR, {}};
  int error = 0;
  const Listing* listing = ListDirectory(*directories, error);
  if (!listing) return {error, {}};

  const std::string name = TemporaryNameInCaseOf(index, letterCaseOf);
  const std::string target = text::VolumePath(listing->utf8Path, name);
  // One of this name that we did not write was kept by RemoveStaleTemporaryFiles, as it shares
  // its content with another file: overwriting it would free that content.
  const bool own = ownTemporaries_.count(Key(*directories, name)) > 0;
  for (const ImageVolumeCache::Entry& entry : listing->entries) {
    if (!own && EqualsIgnoreCase(entry.entry.name, name)) return {EEXIST, {}};
  }
  error = Run(Access::kChange, "mcopy", {"-D", "o", "-", target}, bytes).error;
  // mcopy gives a new file the archive attribute and no other.
  if (!error && (attributes & kStoredAttributes) != kAttributeArchive) {
    std::vector<std::string> arguments = AttributeArguments(attributes);
    arguments.push_back(target);
    error = Run(Access::kChange, "mattrib", arguments).error;
    if (error) Run(Access::kChange, "mdel", {target});
  }
  if (!error) error = Flush();
  if (error) {
    cache_.Changed(*directories);
    return {error, {}};
  }
  cache_.Added(*directories, {{name, attributes & kStoredAttributes}, name});
  ownTemporaries_.insert(Key(*directories, name));
  return {0, name};
}

int ImageVolume::Swap(const Folders& directories, const std::string& temporary,
                      const std::string& target) {
  int error = 0;
  const Listing* listing = ListDirectory(directories, error);
  if (!listing) return error;
  // The target's name is taken as it stands: mtools creates it, or overwrites the entry whose
  // long or short name it is, without regard to case, and frees the old content last.
  const std::vector<std::string> arguments = {
      "-D", "o", text::VolumePath(listing->utf8Path, text::Literal(temporary)),
      text::VolumePath(listing->utf8Path, target)};
  error = Run(Access::kChange, "mmove", arguments).error;
  if (!error) error = Flush();
  if (error) {
    cache_.Changed(directories);
    return error;
  }
  // The temporary entry, with its attributes, now holds the target's name.
  cache_.Renamed(directories, temporary, target);
  ownTemporaries_.erase(Key(directories, temporary));
  return 0;
}

int ImageVolume::Replace(std::string_view directory, std::string_view temporary,
                         std::string_view target, ImageReplacement& replacement) {
  const Call call(*this);
  cache_.Revalidate();
  const auto directories = ParseFolders(directory);
  if (!directories || !IsValidFileName(target) || !IsValidFileName(temporary)) return ENOTDIR;
  const Listed listed = FindListed({*directories, std::string(target)});
  if (listed.error && listed.error != ENOENT) return listed.error;
  replacement = {std::string(directory), std::string(target), !listed.error, {}, 0};
  if (!replacement.existed) return Swap(*directories, std::string(temporary), Cp1252ToUtf8(target));

  if (listed.entry->entry.IsDirectory()) return EACCES;
  // Its exact name, so that a long name stays as it was. (Reading below may drop the listing.)
  const std::string exact = listed.entry->utf8;
  const std::string volumePath = listed.VolumePath();
  replacement.target = listed.entry->entry.name;
  replacement.oldAttributes = listed.entry->entry.attributes;
  const BytesRead old = Read(JoinDrivePath(directory, replacement.target), kUndoLimit);
  if (old.error) return old.error;
  if (old.tooLarge) return ENOMEM;
  replacement.oldBytes.assign(old.bytes.data(), old.bytes.size());
  // mmove frees the old content after it has removed the old entry, and stops halfway, the
  // target gone, when that content's chain loops or leaves the volume. Reading the file does not
  // tell (it follows the chain only as far as the size), following the whole chain does: mshowfat
  // reports what it meets.
  const MtoolsResult chain = Run(Access::kRead, "mshowfat", {volumePath});
  if (chain.error || !chain.errors.empty()) return EIO;
  return Swap(*directories, std::string(temporary), exact);
}

int ImageVolume::Undo(const ImageReplacement& replacement, std::string_view temporary) {
  const Call call(*this);
  const std::string target = JoinDrivePath(replacement.directory, replacement.target);
  const std::string beside = JoinDrivePath(replacement.directory, temporary);
  if (!replacement.existed) return Rename(target, beside);
  const TemporaryFile restored =
      WriteTemporary(replacement.directory, kUndoIndex, replacement.oldBytes,
                     replacement.oldAttributes, replacement.target);
  if (restored.error) return restored.error;
  if (const int error = Rename(target, beside)) {
    Remove(JoinDrivePath(replacement.directory, restored.name));
    return error;
  }
  return Swap(*ParseFolders(replacement.directory), restored.name,
              Cp1252ToUtf8(replacement.target));
}

int ImageVolume::Rename(std::string_view from, std::string_view to) {
  const Call call(*this);
  cache_.Revalidate();
  const auto source = ParsePath(from);
  const auto target = ParsePath(to);
  if (!source || !target || target->name.empty()) return ENOTDIR;
  if (source->name.empty()) return EACCES;
  const Listed found = FindListed(*source);
  if (found.error) return found.error;
  const std::string sourcePath = found.VolumePath();
  const Listed existing = FindListed(*target);
  if (!existing.error) return EEXIST;
  if (existing.error != ENOENT) return existing.error;

  const std::string targetPath =
      text::VolumePath(existing.listing->utf8Path, Cp1252ToUtf8(target->name));
  // Skipping on a clash only makes sure: the check above is what refuses an existing target.
  int error = Run(Access::kChange, "mmove", {"-D", "s", sourcePath, targetPath}).error;
  if (!error) error = Flush();
  cache_.ChangedAll();  // a directory may have moved, with everything in it
  return error;
}

int ImageVolume::Remove(std::string_view path) {
  const Call call(*this);
  cache_.Revalidate();
  const auto parsed = ParsePath(path);
  if (!parsed) return ENOTDIR;
  if (parsed->name.empty()) return EACCES;
  // A temporary file of ours that is to go belongs to no running command any more: should it stay
  // after all, it is stale.
  ownTemporaries_.erase(Key(parsed->directories, parsed->name));
  const Listed listed = FindListed(*parsed);
  if (listed.error) return listed.error;
  if (listed.entry->entry.IsDirectory()) return EACCES;
  int error = Run(Access::kChange, "mdel", {listed.VolumePath()}).error;
  if (!error) error = Flush();
  cache_.Changed(parsed->directories);
  return error;
}

int ImageVolume::RemoveStaleTemporaryFiles(std::string_view directory) {
  const Call call(*this);
  cache_.Revalidate();
  const auto directories = ParseFolders(directory);
  if (!directories) return ENOTDIR;
  int error = 0;
  const Listing* listing = ListDirectory(*directories, error);
  if (!listing) return error;
  std::vector<std::string> stale;
  for (const ImageVolumeCache::Entry& entry : listing->entries) {
    if (IsTemporaryName(entry.entry.name) && !entry.entry.IsDirectory() &&
        !ownTemporaries_.count(Key(*directories, entry.entry.name))) {
      stale.push_back(entry.entry.name);
    }
  }
  if (stale.empty()) return 0;

  // Where each entry's content begins, to keep a temporary file that shares it with another.
  const std::vector<std::string> utf8Path = listing->utf8Path;
  const MtoolsResult listed = Run(
      Access::kRead, "mdir", {"-a", "-f", "-d", text::VolumePath(utf8Path, "")}, {}, kListingLimit);
  const auto lines = text::ParseClusterListing(listed.output);
  if (listed.error || listed.tooLarge || !lines) return listed.error ? listed.error : EIO;
  std::map<uint32_t, int> starts;
  for (const text::ClusterLine& line : *lines) ++starts[line.firstCluster];
  std::vector<std::string> arguments;
  for (const text::ClusterLine& line : *lines) {
    const bool isStale = line.longName.empty() &&
                         std::any_of(stale.begin(), stale.end(), [&](const std::string& name) {
                           return EqualsIgnoreCase(name, Utf8ToCp1252(line.shortName));
                         });
    if (isStale && (line.firstCluster == 0 || starts[line.firstCluster] == 1)) {
      arguments.push_back(text::VolumePath(utf8Path, text::Literal(line.shortName)));
    }
  }
  if (arguments.empty()) return 0;
  error = Run(Access::kChange, "mdel", arguments).error;
  if (!error) error = Flush();
  cache_.Changed(*directories);
  return error;
}

}  // namespace startgarten::platform
