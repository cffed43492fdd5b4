#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/image/disk_image_layout.h"
#include "platform/drives/image/image_in_use.h"
#include "platform/system/descriptor.h"

// Every file that a disk image of another emulator's format consists of, found and checked before
// QEMU opens any of them: the images it builds on (backing files, a VMDK's parent), the extents
// of a VMDK and the external data file of a qcow2 image, of each layer. A file that another file
// names must be a regular file of this machine, named by a path (no protocol, no "json:"), and
// not yet part of the image. Those that QEMU writes (extents and data files) must lie in the
// folder of the layer that names them, after links are resolved; the images built on, which QEMU
// only reads, may lie anywhere, but must be disk images themselves: a container format by its
// header, or a raw disk with a FAT volume, so that an image cannot make another file of the
// user's read. The check reads each file's header once.
namespace startgarten::platform {

// A layer as QEMU is to open it: its driver, its file and its external data file, by paths with
// every link resolved.
struct ImageLayer {
  std::string driver;
  std::filesystem::path file;
  std::filesystem::path dataFile;  // empty when it has none
};

// A file of the image besides the image itself, open for reading, so that its users can be looked
// for. Any user counts for the data file of the image the user chose, which QEMU writes; for a
// file that is only read, a writer. So it does for an extent: QEMU opens extents by their names,
// with its locks even for reading, so that an export for reading holds them as a user would (the
// descriptor, which any other QEMU locks too, shows that one).
struct ImageFile {
  std::string name;  // its resolved path, code page 1252, for messages
  Descriptor fd;
  ImageUse use = ImageUse::kWriting;
};

struct ImageFiles {
  std::vector<ImageLayer> layers;  // the image first, then each image it builds on
  std::vector<ImageFile> others;
  bool streamOptimized = false;  // the image itself is a stream-optimized VMDK (image_references.h)
};

// Whether images of QEMU's driver of this name may build on another image.
bool BuildsOnAnother(std::string_view driver);

// Finds and checks the files of the image open as fd, of the given format. Throws Error
// (kImageReferenceRefused naming the file and the reason, kImageReferenceUnreadable, or the
// recognition's message for an image built on that cannot be read) when one is refused.
ImageFiles FindImageFiles(int fd, const std::filesystem::path& image,
                          const ContainerFormat& format);

}  // namespace startgarten::platform
