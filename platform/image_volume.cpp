#include "platform/image_volume.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>

#include "platform/cp1252.h"
#include "platform/drive_session.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/image_in_use.h"
#include "platform/messages.h"
#include "platform/mtools_listing.h"
#include "platform/temporary_names.h"
#include "platform/windows_error.h"

namespace startgarten::platform {

namespace {

namespace text = mtools_text;

// The largest old content that Replace keeps for Undo: above the largest picture and boot file.
constexpr size_t kUndoLimit = size_t{64} << 20;
// The largest listing of one directory: some ten thousand entries.
constexpr size_t kListingLimit = size_t{4} << 20;
// The index of the temporary file that Undo writes, apart from those of the command.
constexpr unsigned kUndoIndex = 0xFF;

constexpr uint32_t kStoredAttributes =
    kAttributeReadOnly | kAttributeHidden | kAttributeSystem | kAttributeArchive;

// Characters that no Windows file name holds; "/" among them, so a name is one level only.
bool IsValidName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

std::optional<std::vector<std::string>> Components(std::string_view path) {
  std::vector<std::string> components;
  while (!path.empty()) {
    const size_t end = std::min(path.find('\\'), path.size());
    const std::string_view name = path.substr(0, end);
    path.remove_prefix(std::min(end + 1, path.size()));
    if (name.empty()) continue;
    if (!IsValidName(name)) return std::nullopt;
    components.emplace_back(name);
  }
  return components;
}

std::string Key(const std::vector<std::string>& names) {
  std::string key;
  for (const std::string& name : names) {
    key += '\\';
    for (char c : name) key += ToUpperCp1252(c);
  }
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

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether a part of a short name is written in small letters, in capitals, or needs a long name.
enum class LetterCase { kCapitals, kSmall, kMixed };
LetterCase LetterCaseOf(std::string_view part) {
  bool small = false, capitals = false;
  for (const char c : part) {
    if (static_cast<unsigned char>(c) >= 0x80) return LetterCase::kMixed;
    if (IsAsciiLetter(c)) (c >= 'a' ? small : capitals) = true;
  }
  if (small && capitals) return LetterCase::kMixed;
  return small ? LetterCase::kSmall : LetterCase::kCapitals;
}

std::string InSmallLetters(std::string text) {
  for (char& c : text) c = ToLowerCp1252(c);
  return text;
}

// The temporary file's name, in the letter case of target's short name. A short name in small
// letters has no long name: the directory entry's case byte says which of its parts are small
// (as Windows NT writes them), mtools sets those bits for a new name written so, and a swap keeps
// the bits of the file that takes the name. So the temporary name is written as target is. An
// extension in small letters needs a letter among the temporary extension's digits: the index is
// moved to 0xA0 and on, past those of a command's files. A target with a long name keeps that.
std::string TemporaryNameInCaseOf(unsigned index, std::string_view target) {
  const size_t dot = target.rfind('.');
  const std::string_view base = target.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? "" : target.substr(dot + 1);
  const bool shortName = !base.empty() && base.size() <= 8 && extension.size() <= 3 &&
                         base.find_first_of(". +,;=[]") == std::string_view::npos &&
                         extension.find_first_of(". +,;=[]") == std::string_view::npos;
  const LetterCase baseCase = LetterCaseOf(base), extensionCase = LetterCaseOf(extension);
  if (!shortName || baseCase == LetterCase::kMixed || extensionCase == LetterCase::kMixed) {
    return TemporaryName(index);
  }
  const bool hexLetter = (index & 0x0F) >= 0x0A || (index & 0xF0) >= 0xA0;
  bool smallExtension = extensionCase == LetterCase::kSmall;
  unsigned chosen = index;
  if (smallExtension && !hexLetter) {
    smallExtension = index < 0x10;
    chosen = smallExtension ? 0xA0 + index : index;
  }
  std::string name = TemporaryName(chosen);
  const size_t nameDot = name.find('.');
  if (baseCase == LetterCase::kSmall) {
    name.replace(0, nameDot, InSmallLetters(name.substr(0, nameDot)));
  }
  if (smallExtension)
    name.replace(nameDot, std::string::npos, InSmallLetters(name.substr(nameDot)));
  return name;
}

}  // namespace

struct ImageVolume::Listing {
  struct Entry {
    ImageEntry entry;
    std::string utf8;  // the name as mtools writes it
  };
  std::vector<std::string> utf8Path;  // the directories' exact names, from the root
  std::vector<Entry> entries;
};

// An entry found in its directory's listing; error when there is none.
struct ImageVolume::Located {
  uint32_t error = 0;
  const Listing* listing = nullptr;  // the directory's, when it exists
  const Listing::Entry* entry = nullptr;
  // The entry as mtools takes it literally, in its directory.
  std::string VolumePath() const {
    return mtools_text::VolumePath(listing->utf8Path, mtools_text::Literal(entry->utf8));
  }
};

struct ImageVolume::Cached {
  ReadFileResult result;
  size_t limit = 0;
};

std::optional<ImageVolume::Path> ImageVolume::ParsePath(std::string_view text) {
  auto components = Components(text);
  if (!components) return std::nullopt;
  Path path;
  if (!components->empty()) {
    path.name = std::move(components->back());
    components->pop_back();
  }
  path.directories = std::move(*components);
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
    : image_(image), name_(Utf8ToCp1252(image.string())), timeout_(timeout) {
  fd_ = file_system::Open(image.c_str(), O_RDONLY | O_NOCTTY);
  if (fd_ < 0) throw Error(FormatMessageText(messages::kCannotOpenFile, name_));
  try {
    RemoveStaleImageExports();
    format_ = ContainerFormatOfFile(fd_, image);
    if (!format_) location_ = LocateFatVolumeInFile(fd_, image);
    if (!Mtools::Installed()) throw Error(FormatMessageText(messages::kMtoolsMissing, name_));
    mtools_ = std::make_unique<Mtools>(fd_, location_.offset, timeout);
    if (format_) {
      const Call call(*this);
      location_ = LocateFatVolumeInFile(View(Access::kRead), image);
      mtools_ = std::make_unique<Mtools>(export_->Fd(), location_.offset, timeout);
      KeepOpenInPrograms();
    }
  } catch (...) {
    export_.reset();
    file_system::Close(fd_);
    throw;
  }
}

ImageVolume::~ImageVolume() {
  DriveSession::Forget(this);
  locked_ = false;
  CloseView();
  ReleaseLock();
  file_system::Close(fd_);
}

int ImageVolume::View(Access access) {
  if (!format_) return fd_;
  // Under the lock the first view is made for writing: a command that locks is about to write.
  const bool writable = access == Access::kChange || (locked_ && !export_);
  if (export_ && (export_->Writable() || !writable)) return export_->Fd();
  CloseView();
  ImageExport::Options options;
  options.writable = writable;
  options.timeout = timeout_;
  if (writable && lockFd_ >= 0) options.kept = {lockFd_};
  try {
    export_ = std::make_unique<ImageExport>(image_, *format_, name_, options);
  } catch (const Error&) {
    // QEMU refuses an image that another process has locked since it was looked at.
    if (writable) RefuseIfInUse(lockFd_ >= 0 ? lockFd_ : fd_);
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
  if (lockFd_ >= 0) file_system::Close(lockFd_);
  lockFd_ = -1;
  KeepOpenInPrograms();
}

void ImageVolume::KeepOpenInPrograms() {
  if (!mtools_) return;
  std::vector<int> kept;
  if (lockFd_ >= 0) kept.push_back(lockFd_);
  if (export_) kept.push_back(export_->KeepAlive());
  mtools_->KeepOpenInPrograms(std::move(kept));
}

void ImageVolume::RefuseIfInUse(int fd) const {
  std::optional<ImageUser> user;
  if (FindImageUser(fd, user) != 0)
    throw Error(FormatMessageText(messages::kImageCannotLock, name_));
  if (user) throw ImageInUseError(name_, *user);
}

MtoolsResult ImageVolume::Run(Access access, std::string_view program,
                              const std::vector<std::string>& arguments, std::string_view input,
                              size_t outputLimit) {
  try {
    // A change without the lock makes sure first that no other process holds the image.
    if (access == Access::kChange && !locked_ && (!export_ || !export_->Writable())) {
      RefuseIfInUse(fd_);
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
  return ::fstat(fd_, &status) != 0 || status.st_nlink == 0;
}

// The lock is taken on an opening of the image of its own: one shared with a child this process
// forked would stay held as long as this process keeps the image open.
void ImageVolume::Lock() {
  const Call call(*this, true);
  const std::string reopened = "/proc/self/fd/" + std::to_string(fd_);
  const int fd = file_system::Open(reopened.c_str(), O_RDONLY | O_NOCTTY);
  if (fd < 0 || file_system::Flock(fd, LOCK_EX) != 0) {
    if (fd >= 0) file_system::Close(fd);
    throw Error(FormatMessageText(messages::kImageCannotLock, name_));
  }
  lockFd_ = fd;
  try {
    // A QEMU that starts from now on refuses the image; one that started before is seen below.
    if (!format_ && HoldWriterLocks(lockFd_) != 0) {
      throw Error(FormatMessageText(messages::kImageCannotLock, name_));
    }
    RefuseIfInUse(lockFd_);
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

void ImageVolume::RevalidateCache() {
  const off_t size = cachedSize_;
  const int64_t modified = cachedModified_;
  Restamp();
  if (cachedSize_ != size || cachedModified_ != modified) {
    listings_.clear();
    files_.clear();
  }
}

void ImageVolume::Restamp() {
  struct stat status;
  if (::fstat(fd_, &status) != 0) {
    cachedSize_ = -1;
    return;
  }
  cachedSize_ = status.st_size;
  cachedModified_ = int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
}

void ImageVolume::ForgetFiles(const std::vector<std::string>& directories) {
  // Its files under any of their names: the directory's key, "\" and a name without another.
  const std::string key = Key(directories) + "\\";
  for (auto it = files_.begin(); it != files_.end();) {
    const bool inside = it->first.compare(0, key.size(), key) == 0 &&
                        it->first.find('\\', key.size()) == std::string::npos;
    it = inside ? files_.erase(it) : std::next(it);
  }
}

void ImageVolume::Forget(const std::vector<std::string>* directories) {
  if (directories) {
    listings_.erase(Key(*directories));
    ForgetFiles(*directories);
  } else {
    listings_.clear();
    files_.clear();
  }
  Restamp();
}

uint32_t ImageVolume::Flush() {
  const int view = export_ ? export_->Fd() : fd_;
  return file_system::Fsync(view) == 0 ? kErrorSuccess : WindowsErrorFromErrno(errno);
}

const ImageVolume::Listing* ImageVolume::ListDirectory(const std::vector<std::string>& directories,
                                                       uint32_t& error) {
  const std::string key = Key(directories);
  if (const auto found = listings_.find(key); found != listings_.end()) return found->second.get();

  auto listing = std::make_unique<Listing>();
  if (!directories.empty()) {
    const Located self = Locate({{directories.begin(), directories.end() - 1}, directories.back()});
    if (self.error || !self.entry->entry.IsDirectory()) {
      error = !self.error || self.error == kErrorFileNotFound ? kErrorPathNotFound : self.error;
      return nullptr;
    }
    listing->utf8Path = self.listing->utf8Path;
    listing->utf8Path.push_back(self.entry->utf8);
  }
  const MtoolsResult result =
      Run(Access::kRead, "mattrib", {"-X", text::VolumePath(listing->utf8Path, "*")}, {},
          kListingLimit);
  // An empty directory matches nothing; the root has not even "." and "..".
  if ((result.error && result.error != kErrorFileNotFound) || result.tooLarge) {
    error = result.tooLarge ? kErrorNotEnoughMemory : result.error;
    return nullptr;
  }
  const auto lines = text::ParseAttributeListing(result.output);
  if (!lines) {
    error = kErrorIoDevice;
    return nullptr;
  }
  for (const text::AttributeLine& line : *lines) {
    listing->entries.push_back({{Utf8ToCp1252(line.name), line.attributes}, line.name});
  }
  return (listings_[key] = std::move(listing)).get();
}

ImageVolume::Located ImageVolume::Locate(const Path& path) {
  Located located;
  located.listing = ListDirectory(path.directories, located.error);
  if (!located.listing) return located;

  const auto matches = [&](std::string_view name) {
    std::vector<const Listing::Entry*> found;
    for (const Listing::Entry& entry : located.listing->entries) {
      if (EqualsIgnoreCase(entry.entry.name, name)) found.push_back(&entry);
    }
    return found;
  };
  std::vector<const Listing::Entry*> found = matches(path.name);
  // A listing shows long names only; a short alias such as "PROGRA~1" is asked for by itself,
  // as a pattern, which mdir shows with its long name.
  if (found.empty() && path.name.find('~') != std::string::npos) {
    if (const auto pattern = text::FileOnly(Cp1252ToUtf8(path.name))) {
      const MtoolsResult result =
          Run(Access::kRead, "mdir",
              {"-a", "-f", "-d", text::VolumePath(located.listing->utf8Path, *pattern)});
      const auto lines = text::ParseClusterListing(result.output);
      if (!result.error && lines && lines->size() == 1) {
        const text::ClusterLine& line = lines->front();
        found = matches(Utf8ToCp1252(line.longName.empty() ? line.shortName : line.longName));
      }
    }
  }
  if (found.empty()) {
    located.error = kErrorFileNotFound;
  } else if (found.size() > 1) {
    located.error = kErrorIoDevice;  // two entries of one name: mtools would act on both
  } else {
    located.entry = found.front();
  }
  return located;
}

FindResult ImageVolume::Find(std::string_view path) {
  const Call call(*this);
  RevalidateCache();
  const auto parsed = ParsePath(path);
  if (!parsed) return {kErrorPathNotFound, {}};
  if (parsed->name.empty()) return {kErrorSuccess, {"", kAttributeDirectory}};
  const Located located = Locate(*parsed);
  if (located.error) return {located.error, {}};
  return {kErrorSuccess, located.entry->entry};
}

ReadFileResult ImageVolume::Read(std::string_view path, size_t limit) {
  const Call call(*this);
  RevalidateCache();
  ReadFileResult result;
  const auto parsed = ParsePath(path);
  if (!parsed || parsed->name.empty()) {
    result.error = parsed ? kErrorAccessDenied : kErrorPathNotFound;
    return result;
  }
  const std::string key = Key(parsed->directories) + Key({parsed->name});
  Cached& cached = files_[key] ? *files_[key] : *(files_[key] = std::make_unique<Cached>());
  const ReadFileResult& kept = cached.result;
  // Complete bytes answer any limit; an error or an overflow only as large a one.
  const bool usable = cached.limit > 0 && (kept.error || !kept.tooLarge || cached.limit >= limit);
  if (!usable) {
    // The wildcard form reads a file and never the files of a directory of that name.
    const auto pattern = text::FileOnly(Cp1252ToUtf8(parsed->name));
    MtoolsResult read;
    read.error = kErrorFileNotFound;
    if (pattern) {
      read = Run(Access::kRead, "mtype", {text::VolumePath(Utf8(parsed->directories), *pattern)},
                 {}, limit);
    }
    if (read.error == kErrorFileNotFound) {
      // Which part is missing, or whether it is a directory, the listings tell.
      const Located located = Locate(*parsed);
      read.error = located.error                        ? located.error
                   : located.entry->entry.IsDirectory() ? kErrorAccessDenied
                                                        : kErrorFileNotFound;
    }
    cached.limit = std::max<size_t>(limit, 1);
    cached.result.error = read.error;
    cached.result.tooLarge = read.tooLarge;
    cached.result.bytes.Resize(read.error || read.tooLarge ? 0 : read.output.size());
    if (!cached.result.bytes.empty()) {
      std::memcpy(cached.result.bytes.Room(), read.output.data(), read.output.size());
    }
  }
  result.error = kept.error;
  result.tooLarge = kept.tooLarge || kept.bytes.size() > limit;
  if (!result.error && !result.tooLarge) {
    result.bytes.Resize(kept.bytes.size());
    if (!kept.bytes.empty()) std::memcpy(result.bytes.Room(), kept.bytes.data(), kept.bytes.size());
  }
  // What the file holds, or that there is none, lasts until the image changes; a failure to read
  // it (a failing disk, an mtools program cut off) may pass, and the next read tries again.
  const bool lasting = result.error == kErrorSuccess || result.error == kErrorFileNotFound ||
                       result.error == kErrorPathNotFound || result.error == kErrorAccessDenied;
  if (!lasting) files_.erase(key);
  return result;
}

TemporaryFile ImageVolume::WriteTemporary(std::string_view directory, unsigned index,
                                          std::string_view bytes, uint32_t attributes,
                                          std::string_view letterCaseOf) {
  const Call call(*this, true);
  RevalidateCache();
  const auto directories = Components(directory);
  if (!directories) return {kErrorPathNotFound, {}};
  uint32_t error = kErrorSuccess;
  const Listing* listing = ListDirectory(*directories, error);
  if (!listing) return {error, {}};

  const std::string name = TemporaryNameInCaseOf(index, letterCaseOf);
  const std::string target = text::VolumePath(listing->utf8Path, name);
  // One of this name that we did not write was kept by RemoveStaleTemporaryFiles, as it shares
  // its content with another file: overwriting it would free that content.
  const bool own = ownTemporaries_.count(Key(*directories) + Key({name})) > 0;
  for (const Listing::Entry& entry : listing->entries) {
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
    Forget(&*directories);
    return {error, {}};
  }
  // The directory gained this entry, and nothing else changed.
  Listing& changed = *listings_.at(Key(*directories));
  std::erase_if(changed.entries, [&](const Listing::Entry& entry) { return entry.utf8 == name; });
  changed.entries.push_back({{name, attributes & kStoredAttributes}, name});
  Restamp();
  ownTemporaries_.insert(Key(*directories) + Key({name}));
  return {kErrorSuccess, name};
}

uint32_t ImageVolume::Swap(const std::vector<std::string>& directories,
                           const std::string& temporary, const std::string& target) {
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
    Forget(&directories);
    return error;
  }
  // The temporary entry, with its attributes, now holds the target's name.
  Listing& changed = *listings_.at(Key(directories));
  const auto entry = [&](std::string_view name) {
    return std::find_if(changed.entries.begin(), changed.entries.end(),
                        [&](const Listing::Entry& e) {
                          return EqualsIgnoreCase(e.entry.name, Utf8ToCp1252(name));
                        });
  };
  if (entry(temporary) == changed.entries.end()) {
    Forget(&directories);
    return kErrorSuccess;
  }
  const uint32_t attributes = entry(temporary)->entry.attributes;
  changed.entries.erase(entry(temporary));
  if (const auto existing = entry(target); existing != changed.entries.end()) {
    existing->entry.attributes = attributes;
  } else {
    changed.entries.push_back({{Utf8ToCp1252(target), attributes}, target});
  }
  ForgetFiles(directories);
  Restamp();
  ownTemporaries_.erase(Key(directories) + Key({temporary}));
  return kErrorSuccess;
}

uint32_t ImageVolume::Replace(std::string_view directory, std::string_view temporary,
                              std::string_view target, ImageReplacement& replacement) {
  const Call call(*this);
  RevalidateCache();
  const auto directories = Components(directory);
  if (!directories || !IsValidName(target) || !IsValidName(temporary)) return kErrorPathNotFound;
  const Located located = Locate({*directories, std::string(target)});
  if (located.error && located.error != kErrorFileNotFound) return located.error;
  replacement = {std::string(directory), std::string(target), !located.error, {}, 0};
  if (!replacement.existed) return Swap(*directories, std::string(temporary), Cp1252ToUtf8(target));

  if (located.entry->entry.IsDirectory()) return kErrorAccessDenied;
  // Its exact name, so that a long name stays as it was. (Reading below may drop the listing.)
  const std::string exact = located.entry->utf8;
  const std::string volumePath = located.VolumePath();
  replacement.target = located.entry->entry.name;
  replacement.oldAttributes = located.entry->entry.attributes;
  std::string path;
  for (const std::string& name : *directories) path += name + "\\";
  const ReadFileResult old = Read(path + replacement.target, kUndoLimit);
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
  const std::string target = replacement.directory + "\\" + replacement.target;
  const std::string beside = replacement.directory + "\\" + std::string(temporary);
  if (!replacement.existed) return Rename(target, beside);
  const TemporaryFile restored =
      WriteTemporary(replacement.directory, kUndoIndex, replacement.oldBytes,
                     replacement.oldAttributes, replacement.target);
  if (restored.error) return restored.error;
  if (const uint32_t error = Rename(target, beside)) {
    Remove(replacement.directory + "\\" + restored.name);
    return error;
  }
  return Swap(*Components(replacement.directory), restored.name, Cp1252ToUtf8(replacement.target));
}

uint32_t ImageVolume::Rename(std::string_view from, std::string_view to) {
  const Call call(*this);
  RevalidateCache();
  const auto source = ParsePath(from);
  const auto target = ParsePath(to);
  if (!source || !target || target->name.empty()) return kErrorPathNotFound;
  if (source->name.empty()) return kErrorAccessDenied;
  const Located found = Locate(*source);
  if (found.error) return found.error;
  const std::string sourcePath = found.VolumePath();
  const Located existing = Locate(*target);
  if (!existing.error) return kErrorAlreadyExists;
  if (existing.error != kErrorFileNotFound) return existing.error;

  const std::string targetPath =
      text::VolumePath(existing.listing->utf8Path, Cp1252ToUtf8(target->name));
  // Skipping on a clash only makes sure: the check above is what refuses an existing target.
  uint32_t error = Run(Access::kChange, "mmove", {"-D", "s", sourcePath, targetPath}).error;
  if (!error) error = Flush();
  Forget(nullptr);  // a directory may have moved, with everything in it
  return error;
}

uint32_t ImageVolume::Remove(std::string_view path) {
  const Call call(*this);
  RevalidateCache();
  const auto parsed = ParsePath(path);
  if (!parsed) return kErrorPathNotFound;
  if (parsed->name.empty()) return kErrorAccessDenied;
  // A temporary file of ours that is to go belongs to no running command any more: should it stay
  // after all, it is stale.
  ownTemporaries_.erase(Key(parsed->directories) + Key({parsed->name}));
  const Located located = Locate(*parsed);
  if (located.error) return located.error;
  if (located.entry->entry.IsDirectory()) return kErrorAccessDenied;
  uint32_t error = Run(Access::kChange, "mdel", {located.VolumePath()}).error;
  if (!error) error = Flush();
  Forget(&parsed->directories);
  return error;
}

uint32_t ImageVolume::RemoveStaleTemporaryFiles(std::string_view directory) {
  const Call call(*this);
  RevalidateCache();
  const auto directories = Components(directory);
  if (!directories) return kErrorPathNotFound;
  uint32_t error = kErrorSuccess;
  const Listing* listing = ListDirectory(*directories, error);
  if (!listing) return error;
  std::vector<std::string> stale;
  for (const Listing::Entry& entry : listing->entries) {
    if (IsTemporaryName(entry.entry.name) && !entry.entry.IsDirectory() &&
        !ownTemporaries_.count(Key(*directories) + Key({entry.entry.name}))) {
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
  Forget(&*directories);
  return error;
}

}  // namespace startgarten::platform
