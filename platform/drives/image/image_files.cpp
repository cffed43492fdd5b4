#include "platform/drives/image/image_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <set>
#include <utility>

#include "platform/drives/image/image_messages.h"
#include "platform/drives/image/image_references.h"
#include "platform/system/file_system.h"
#include "platform/system/local_path.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"

namespace startgarten::platform {

namespace {

namespace fs = std::filesystem;

// The most layers an image may have: longer snapshot chains than anyone keeps by hand, short
// enough that a chain that loops through names ends soon.
constexpr size_t kLayerLimit = 32;

// A name that QEMU would read as a protocol ("nbd:", "http:", "json:", ...): a colon before any
// slash.
bool NamesProtocol(std::string_view name) {
  const size_t end = name.find_first_of(":/");
  return end != std::string_view::npos && name[end] == ':';
}

// One file looked at: its resolved path, name for messages and open descriptor.
struct Opened {
  fs::path path;
  std::string name;
  Descriptor fd;
};

// The refusal of the file that referrer's header names by name, for the reason.
[[noreturn]] void Refuse(const Opened& referrer, const std::string& name, const char* reason) {
  throw Error(FormatMessageText(messages::kImageReferenceRefused,
                                {referrer.name, Utf8ToCp1252(name), reason}));
}

class Finder {
 public:
  // chosen: the folder of the image the user chose.
  explicit Finder(fs::path chosen) : chosen_(std::move(chosen)) {}

  // Opens, checks and takes the file that referrer's header names by name. folder, when given,
  // is where it must lie.
  Opened Take(const Opened& referrer, const std::string& name, const fs::path& folder = {}) {
    const auto refuse = [&](const char* reason) { Refuse(referrer, name, reason); };
    if (name.empty() || NamesProtocol(name)) refuse(messages::kImageReferenceNotLocal);
    LocalPath found = ResolveLocalPath(referrer.path.parent_path(), name, chosen_);
    if (found.found == LocalPath::Found::kThroughAutomount) {
      refuse(messages::kImageReferenceThroughAutomount);
    }
    if (found.found != LocalPath::Found::kFile) refuse(messages::kImageReferenceCannotOpen);
    Opened file;
    file.path = std::move(found.path);
    file.name = Utf8ToCp1252(file.path.string());
    // A device, FIFO or socket is never opened: opening one may already do something.
    struct stat named;
    if (::fstat(found.file.Get(), &named) != 0) refuse(messages::kImageReferenceCannotOpen);
    if (!S_ISREG(named.st_mode)) refuse(messages::kImageReferenceNotRegular);
    if (!folder.empty() && file.path.parent_path() != folder) {
      refuse(messages::kImageReferenceOutside);
    }
    file.fd = Descriptor(
        file_system::Open(file.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened;
    if (!file.fd.IsOpen() || ::fstat(file.fd.Get(), &opened) != 0) {
      refuse(messages::kImageReferenceCannotOpen);
    }
    if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) {
      refuse(messages::kImageReferenceNotRegular);
    }
    if (!seen_.emplace(opened.st_dev, opened.st_ino).second) {
      refuse(messages::kImageReferenceTwice);
    }
    return file;
  }

  void See(int fd) {
    struct stat status;
    if (::fstat(fd, &status) == 0) seen_.emplace(status.st_dev, status.st_ino);
  }

 private:
  fs::path chosen_;
  std::set<std::pair<dev_t, ino_t>> seen_;
};

uint64_t SizeOf(int fd) {
  struct stat status;
  return ::fstat(fd, &status) == 0 ? static_cast<uint64_t>(status.st_size) : 0;
}

// The driver for an image built on, by its header: a container format, or a raw disk that holds
// a FAT volume; what the referrer's header states for it must agree.
std::string DriverOfBase(const Opened& referrer, const std::string& name, const Opened& base,
                         const std::string& stated) {
  const std::optional<ContainerFormat> format = ContainerFormatOfFile(base.fd.Get(), base.path);
  if (!format) {
    try {
      LocateFatVolumeInFile(base.fd.Get(), base.path);
    } catch (const Error&) {
      Refuse(referrer, name, messages::kImageReferenceNoDiskImage);
    }
  }
  std::string driver = format ? format->driver : "raw";
  if (!stated.empty() && stated != driver) {
    Refuse(referrer, name, messages::kImageReferenceOtherFormat);
  }
  return driver;
}

}  // namespace

bool BuildsOnAnother(std::string_view driver) {
  return driver == "qcow2" || driver == "qcow" || driver == "qed" || driver == "vmdk";
}

ImageFiles FindImageFiles(int fd, const fs::path& image, const ContainerFormat& format) {
  Opened layer;
  std::error_code unresolved;
  layer.path = fs::canonical(image, unresolved);
  if (unresolved) layer.path = image;
  Finder finder(layer.path.parent_path());
  finder.See(fd);
  layer.name = Utf8ToCp1252(image.string());
  std::string driver = format.driver;
  int layerFd = fd;
  ImageFiles files;
  for (;;) {
    const ImageReferences references = ReadImageReferences({driver.c_str(), nullptr}, layer.name,
                                                           SizeOf(layerFd), FileReader(layerFd));
    const bool top = files.layers.empty();
    if (top) files.streamOptimized = references.streamOptimized;
    const fs::path folder = layer.path.parent_path();
    ImageLayer taken{driver, layer.path, {}};
    for (const std::string& extent : references.extents) {
      Opened file = finder.Take(layer, extent, folder);
      files.others.push_back({file.name, std::move(file.fd), ImageUse::kWriting});
    }
    if (!references.dataFile.empty()) {
      Opened file = finder.Take(layer, references.dataFile, folder);
      taken.dataFile = file.path;
      files.others.push_back(
          {file.name, std::move(file.fd), top ? ImageUse::kAny : ImageUse::kWriting});
    }
    files.layers.push_back(std::move(taken));
    if (references.backing.empty() || !BuildsOnAnother(driver)) return files;
    if (files.layers.size() == kLayerLimit) {
      Refuse(layer, references.backing, messages::kImageReferenceTooDeep);
    }
    Opened base = finder.Take(layer, references.backing);
    driver = DriverOfBase(layer, references.backing, base, references.backingFormat);
    layerFd = base.fd.Get();  // kept open among the others
    files.others.push_back({base.name, std::move(base.fd), ImageUse::kWriting});
    layer = std::move(base);
  }
}

}  // namespace startgarten::platform
