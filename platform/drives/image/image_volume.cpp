#include "platform/drives/image/image_volume.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>

#include "platform/drives/drive_path.h"
#include "platform/drives/drive_session.h"
#include "platform/drives/image/image_in_use.h"
#include "platform/drives/image/mtools_listing.h"
#include "platform/drives/image/temporary_name_case.h"
#include "platform/drives/temporary_names.h"
#include "platform/drives/writer_lock.h"
#include "platform/system/file_system.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten::platform {

namespace {

namespace text = mtools_text;

// The largest old content that Replace keeps for Undo: above the largest picture and boot file.
constexpr size_t kUndoLimit = size_t{64} << 20;
// The largest listing of one directory: some ten thousand entries.
constexpr size_t kListingLimit = size_t{4} << 20;
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

std::vector<std::string> Utf8(const std::vector<std::string>& names) {
  std::vector<std::string> converted;
  converted.reserve(names.size());
  for (const std::string& name : names) converted.push_back(Cp1252ToUtf8(name));
  return converted;
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

// An entry found in its directory's listing; error when there is none.
struct ImageVolume::Listed {
  uint32_t error = 0;
  const Listing* listing = nullptr;  // the directory's, when it exists
  const ImageVolumeCache::Entry* entry = nullptr;
  // The entry as mtools takes it literally, in its directory.
  std::string VolumePath() const {
    return mtools_text::VolumePath(listing->utf8Path, mtools_text::Literal(entry->utf8));
  }
};

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

// Each public call that may run a program of mtools holds one: what the call opened and nothing
// keeps is closed when it ends. An export that cannot be made ends the call with an error code,
// or, for the outermost call that begins a change, with the Error that says why.
class ImageVolume::Call {
 public:
  explicit Call(ImageVolume& volume, bool beginsChange = false) : volume_(volume) {
    if (volume_.calls_++ == 0) volume_.viewErrorsThrow_ = beginsChange;
  }
  ~Call() {
    if (--volume_.calls_ == 0) volume_.Settle();
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

 private:
  ImageVolume& volume_;
};

ImageVolume::ImageVolume(const std::filesystem::path& image, std::chrono::milliseconds timeout)
    : image_(image),
      name_(Utf8ToCp1252(image.string())),
      timeout_(timeout),
      fd_(file_system::Open(image.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY)),
      cache_(fd_.Get()) {
  if (!fd_.IsOpen()) throw Error(FormatMessageText(messages::kCannotOpenFile, name_));
  struct stat status;
  if (::fstat(fd_.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
    throw Error(FormatMessageText(messages::kImageNotRegular, name_));
  }
  RemoveStaleImageExports();
  format_ = ContainerFormatOfFile(fd_.Get(), image);
  if (format_) files_ = FindImageFiles(fd_.Get(), image, *format_);
  if (!format_) location_ = LocateFatVolumeInFile(fd_.Get(), image);
  if (!Mtools::Installed()) throw Error(FormatMessageText(messages::kMtoolsMissing, name_));
  mtools_ = std::make_unique<Mtools>(fd_.Get(), location_.offset, timeout);
  if (!format_) return;
  try {
    const Call call(*this);
    location_ = LocateFatVolumeInFile(View(Access::kRead), image);
    mtools_ = std::make_unique<Mtools>(export_->Fd(), location_.offset, timeout);
    KeepOpenInPrograms();
  } catch (...) {
    DriveSession::Forget(this);  // the export's end, which the call may have left to the session
    throw;
  }
}

ImageVolume::~ImageVolume() {
  DriveSession::Forget(this);
  locked_ = false;
  CloseView();
  ReleaseLock();
}

int ImageVolume::View(Access access) {
  if (!format_) return fd_.Get();
  // Under the lock the first view is made for writing: a command that locks is about to write.
  const bool writable = access == Access::kChange || (locked_ && !export_);
  if (export_ && (export_->Writable() || !writable)) return export_->Fd();
  CloseView();
  ImageExport::Options options;
  options.writable = writable;
  options.timeout = timeout_;
  if (writable && lockFd_.IsOpen()) options.kept = {lockFd_.Get()};
  if (writable && machineLock_.IsOpen()) options.kept.push_back(machineLock_.Get());
  try {
    export_ = std::make_unique<ImageExport>(files_.layers, *format_, name_, options);
  } catch (const Error&) {
    // QEMU refuses an image that another process has locked since it was looked at.
    if (writable) RefuseIfInUse(lockFd_.IsOpen() ? lockFd_.Get() : fd_.Get());
    throw;
  }
  if (mtools_) mtools_->SetImage(export_->Fd());
  KeepOpenInPrograms();
  return export_->Fd();
}

void ImageVolume::CloseView() {
  export_.reset();
  KeepOpenInPrograms();
}

void ImageVolume::Settle() {
  if (locked_) return;
  // An export for writing holds QEMU's locks, and lasts no longer than the call or the lock.
  if (export_ && export_->Writable()) CloseView();
  ReleaseLock();
  if (!export_) return;
  if (DriveSession::IsOpen()) {
    DriveSession::ReleaseAtEnd(this, [this] {
      if (!locked_) CloseView();
    });
  } else {
    CloseView();
  }
}

void ImageVolume::ReleaseLock() {
  lockFd_.Close();
  machineLock_.Close();
  KeepOpenInPrograms();
}

void ImageVolume::KeepOpenInPrograms() {
  if (!mtools_) return;
  std::vector<int> kept;
  if (lockFd_.IsOpen()) kept.push_back(lockFd_.Get());
  if (machineLock_.IsOpen()) kept.push_back(machineLock_.Get());
  if (export_) kept.insert(kept.end(), {export_->KeepAlive(), export_->Folder()});
  mtools_->KeepOpenInPrograms(std::move(kept));
}

void ImageVolume::RefuseIfInUse(int fd) const {
  platform::RefuseIfInUse(fd, name_, ImageUse::kAny);
  for (const ImageFile& file : files_.others) {
    platform::RefuseIfInUse(file.fd.Get(), file.name, file.use);
  }
}

MtoolsResult ImageVolume::Run(Access access, std::string_view program,
                              const std::vector<std::string>& arguments, std::string_view input,
                              size_t outputLimit) {
  try {
    // A change without the lock makes sure first that no other process holds the image.
    if (access == Access::kChange && !locked_ && (!export_ || !export_->Writable())) {
      RefuseIfInUse(fd_.Get());
    }
    View(access);
  } catch (const Error& error) {
    if (viewErrorsThrow_) throw;
    MtoolsResult failed;
    failed.error = kErrorGenFailure;
    failed.errors = error.what();
    return failed;
  }
  return mtools_->Run(program, arguments, input, outputLimit);
}

bool ImageVolume::IsGone() const {
  struct stat status;
  return ::fstat(fd_.Get(), &status) != 0 || status.st_nlink == 0;
}

// The lock is taken on an opening of the image of its own: one shared with a child this process
// forked would stay held as long as this process keeps the image open.
void ImageVolume::Lock() {
  const Call call(*this, true);
  // The daemon of an export that a killed run left holds the image's lock: it ends first.
  if (format_) RemoveStaleImageExports();
  const std::string reopened = "/proc/self/fd/" + std::to_string(fd_.Get());
  Descriptor fd(file_system::Open(reopened.c_str(), O_RDONLY | O_NOCTTY));
  if (!fd.IsOpen()) RefuseWriterLock(name_, errno);
  machineLock_ = TakeWriterLock(fd.Get(), name_);
  lockFd_ = std::move(fd);
  try {
    // A QEMU that starts from now on refuses the image; one that started before is seen below.
    if (!format_ && HoldWriterLocks(lockFd_.Get()) != 0) {
      throw Error(FormatMessageText(messages::kImageCannotLock, name_));
    }
    RefuseIfInUse(lockFd_.Get());
  } catch (...) {
    ReleaseLock();
    throw;
  }
  locked_ = true;
  KeepOpenInPrograms();
}

void ImageVolume::Unlock() {
  if (!locked_) return;
  locked_ = false;
  Settle();
}

uint32_t ImageVolume::Flush() {
  const int view = export_ ? export_->Fd() : fd_.Get();
  return file_system::Fsync(view) == 0 ? kErrorSuccess : WindowsErrorFromErrno(errno);
}

const ImageVolume::Listing* ImageVolume::ListDirectory(const Folders& directories,
                                                       uint32_t& error) {
  if (const Listing* kept = cache_.FindListing(directories)) return kept;
  Listing listing;
  if (!directories.empty()) {
    const Listed self =
        FindListed({{directories.begin(), directories.end() - 1}, directories.back()});
    if (self.error || !self.entry->entry.IsDirectory()) {
      error = !self.error || self.error == kErrorFileNotFound ? kErrorPathNotFound : self.error;
      return nullptr;
    }
    listing.utf8Path = self.listing->utf8Path;
    listing.utf8Path.push_back(self.entry->utf8);
  }
  const MtoolsResult result = Run(
      Access::kRead, "mattrib", {"-X", text::VolumePath(listing.utf8Path, "*")}, {}, kListingLimit);
  // An empty directory matches nothing; the root has not even "." and "..".
  if ((result.error && result.error != kErrorFileNotFound) || result.tooLarge) {
    error = result.tooLarge ? kErrorNotEnoughMemory : result.error;
    return nullptr;
  }
  // A long name with a line break would read as more entries: a directory with one is not read.
  const auto lines = text::ParseAttributeListing(result.output);
  if (!lines ||
      (!lines->empty() && Run(Access::kRead, "mattrib",
                              {"-X", text::VolumePath(listing.utf8Path, text::kLineBreakPattern)})
                                  .error != kErrorFileNotFound)) {
    error = kErrorIoDevice;
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
    listed.error = kErrorFileNotFound;
  } else if (found.size() > 1) {
    listed.error = kErrorIoDevice;  // two entries of one name: mtools would act on both
  } else {
    listed.entry = found.front();
  }
  return listed;
}

FindResult ImageVolume::Find(std::string_view path) {
  const Call call(*this);
  cache_.Revalidate();
  const auto parsed = ParsePath(path);
  if (!parsed) return {kErrorPathNotFound, {}};
  if (parsed->name.empty()) return {kErrorSuccess, {"", kAttributeDirectory}};
  const Listed listed = FindListed(*parsed);
  if (listed.error) return {listed.error, {}};
  return {kErrorSuccess, listed.entry->entry};
}

ReadFileResult ImageVolume::ReadFromVolume(const Path& path, size_t limit) {
  // The wildcard form reads a file and never the files of a directory of that name.
  const auto pattern = text::FileOnly(Cp1252ToUtf8(path.name));
  MtoolsResult read;
  read.error = kErrorFileNotFound;
  if (pattern) {
    read = Run(Access::kRead, "mtype", {text::VolumePath(Utf8(path.directories), *pattern)}, {},
               limit);
  }
  if (read.error == kErrorFileNotFound) {
    // Which part is missing, or whether it is a directory, the listings tell.
    const Listed listed = FindListed(path);
    read.error = listed.error                        ? listed.error
                 : listed.entry->entry.IsDirectory() ? kErrorAccessDenied
                                                     : kErrorFileNotFound;
  }
  ReadFileResult result;
  result.error = read.error;
  result.tooLarge = !read.error && read.tooLarge;
  if (!result.error && !result.tooLarge) {
    result.bytes.Resize(read.output.size());
    std::copy(read.output.begin(), read.output.end(), result.bytes.Room());
  }
  return result;
}

ReadFileResult ImageVolume::Read(std::string_view path, size_t limit) {
  const Call call(*this);
  cache_.Revalidate();
  const auto parsed = ParsePath(path);
  if (!parsed || parsed->name.empty()) {
    ReadFileResult refused;
    refused.error = parsed ? kErrorAccessDenied : kErrorPathNotFound;
    return refused;
  }
  if (std::optional<ReadFileResult> kept =
          cache_.FindRead(parsed->directories, parsed->name, limit))
    return std::move(*kept);
  ReadFileResult read = ReadFromVolume(*parsed, limit);
  cache_.KeepRead(parsed->directories, parsed->name, limit, read);
  return read;
}

TemporaryFile ImageVolume::WriteTemporary(std::string_view directory, unsigned index,
                                          std::string_view bytes, uint32_t attributes,
                                          std::string_view letterCaseOf) {
  const Call call(*this, true);
  cache_.Revalidate();
  const auto directories = ParseFolders(directory);
  if (!directories) return {kErrorPathNotFound, {}};
  uint32_t error = kErrorSuccess;
  const Listing* listing = ListDirectory(*directories, error);
  if (!listing) return {error, {}};

  const std::string name = TemporaryNameInCaseOf(index, letterCaseOf);
  const std::string target = text::VolumePath(listing->utf8Path, name);
  // One of this name that we did not write was kept by RemoveStaleTemporaryFiles, as it shares
  // its content with another file: overwriting it would free that content.
  const bool own = ownTemporaries_.count(Key(*directories, name)) > 0;
  for (const ImageVolumeCache::Entry& entry : listing->entries) {
    if (!own && EqualsIgnoreCase(entry.entry.name, name)) return {kErrorAlreadyExists, {}};
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
  return {kErrorSuccess, name};
}

uint32_t ImageVolume::Swap(const Folders& directories, const std::string& temporary,
                           const std::string& target) {
  uint32_t error = kErrorSuccess;
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
  return kErrorSuccess;
}

uint32_t ImageVolume::Replace(std::string_view directory, std::string_view temporary,
                              std::string_view target, ImageReplacement& replacement) {
  const Call call(*this);
  cache_.Revalidate();
  const auto directories = ParseFolders(directory);
  if (!directories || !IsValidFileName(target) || !IsValidFileName(temporary))
    return kErrorPathNotFound;
  const Listed listed = FindListed({*directories, std::string(target)});
  if (listed.error && listed.error != kErrorFileNotFound) return listed.error;
  replacement = {std::string(directory), std::string(target), !listed.error, {}, 0};
  if (!replacement.existed) return Swap(*directories, std::string(temporary), Cp1252ToUtf8(target));

  if (listed.entry->entry.IsDirectory()) return kErrorAccessDenied;
  // Its exact name, so that a long name stays as it was. (Reading below may drop the listing.)
  const std::string exact = listed.entry->utf8;
  const std::string volumePath = listed.VolumePath();
  replacement.target = listed.entry->entry.name;
  replacement.oldAttributes = listed.entry->entry.attributes;
  const ReadFileResult old = Read(JoinDrivePath(directory, replacement.target), kUndoLimit);
  if (old.error) return old.error;
  if (old.tooLarge) return kErrorNotEnoughMemory;
  replacement.oldBytes.assign(old.bytes.data(), old.bytes.size());
  // mmove frees the old content after it has removed the old entry, and stops halfway, the
  // target gone, when that content's chain loops or leaves the volume. Reading the file does not
  // tell (it follows the chain only as far as the size), following the whole chain does: mshowfat
  // reports what it meets.
  const MtoolsResult chain = Run(Access::kRead, "mshowfat", {volumePath});
  if (chain.error || !chain.errors.empty()) return kErrorIoDevice;
  return Swap(*directories, std::string(temporary), exact);
}

uint32_t ImageVolume::Undo(const ImageReplacement& replacement, std::string_view temporary) {
  const Call call(*this);
  const std::string target = JoinDrivePath(replacement.directory, replacement.target);
  const std::string beside = JoinDrivePath(replacement.directory, temporary);
  if (!replacement.existed) return Rename(target, beside);
  const TemporaryFile restored =
      WriteTemporary(replacement.directory, kUndoIndex, replacement.oldBytes,
                     replacement.oldAttributes, replacement.target);
  if (restored.error) return restored.error;
  if (const uint32_t error = Rename(target, beside)) {
    Remove(JoinDrivePath(replacement.directory, restored.name));
    return error;
  }
  return Swap(*ParseFolders(replacement.directory), restored.name,
              Cp1252ToUtf8(replacement.target));
}

uint32_t ImageVolume::Rename(std::string_view from, std::string_view to) {
  const Call call(*this);
  cache_.Revalidate();
  const auto source = ParsePath(from);
  const auto target = ParsePath(to);
  if (!source || !target || target->name.empty()) return kErrorPathNotFound;
  if (source->name.empty()) return kErrorAccessDenied;
  const Listed found = FindListed(*source);
  if (found.error) return found.error;
  const std::string sourcePath = found.VolumePath();
  const Listed existing = FindListed(*target);
  if (!existing.error) return kErrorAlreadyExists;
  if (existing.error != kErrorFileNotFound) return existing.error;

  const std::string targetPath =
      text::VolumePath(existing.listing->utf8Path, Cp1252ToUtf8(target->name));
  // Skipping on a clash only makes sure: the check above is what refuses an existing target.
  uint32_t error = Run(Access::kChange, "mmove", {"-D", "s", sourcePath, targetPath}).error;
  if (!error) error = Flush();
  cache_.ChangedAll();  // a directory may have moved, with everything in it
  return error;
}

uint32_t ImageVolume::Remove(std::string_view path) {
  const Call call(*this);
  cache_.Revalidate();
  const auto parsed = ParsePath(path);
  if (!parsed) return kErrorPathNotFound;
  if (parsed->name.empty()) return kErrorAccessDenied;
  // A temporary file of ours that is to go belongs to no running command any more: should it stay
  // after all, it is stale.
  ownTemporaries_.erase(Key(parsed->directories, parsed->name));
  const Listed listed = FindListed(*parsed);
  if (listed.error) return listed.error;
  if (listed.entry->entry.IsDirectory()) return kErrorAccessDenied;
  uint32_t error = Run(Access::kChange, "mdel", {listed.VolumePath()}).error;
  if (!error) error = Flush();
  cache_.Changed(parsed->directories);
  return error;
}

uint32_t ImageVolume::RemoveStaleTemporaryFiles(std::string_view directory) {
  const Call call(*this);
  cache_.Revalidate();
  const auto directories = ParseFolders(directory);
  if (!directories) return kErrorPathNotFound;
  uint32_t error = kErrorSuccess;
  const Listing* listing = ListDirectory(*directories, error);
  if (!listing) return error;
  std::vector<std::string> stale;
  for (const ImageVolumeCache::Entry& entry : listing->entries) {
    if (IsTemporaryName(entry.entry.name) && !entry.entry.IsDirectory() &&
        !ownTemporaries_.count(Key(*directories, entry.entry.name))) {
      stale.push_back(entry.entry.name);
    }
  }
  if (stale.empty()) return kErrorSuccess;

  // Where each entry's content begins, to keep a temporary file that shares it with another.
  const std::vector<std::string> utf8Path = listing->utf8Path;
  const MtoolsResult listed = Run(
      Access::kRead, "mdir", {"-a", "-f", "-d", text::VolumePath(utf8Path, "")}, {}, kListingLimit);
  const auto lines = text::ParseClusterListing(listed.output);
  if (listed.error || listed.tooLarge || !lines)
    return listed.error ? listed.error : kErrorIoDevice;
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
  if (arguments.empty()) return kErrorSuccess;
  error = Run(Access::kChange, "mdel", arguments).error;
  if (!error) error = Flush();
  cache_.Changed(*directories);
  return error;
}

}  // namespace startgarten::platform
