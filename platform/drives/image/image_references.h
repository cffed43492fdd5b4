#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/image/disk_image_layout.h"

// The other files that one file of a disk image names in its header, read as QEMU's drivers read
// them: the extents of a VMDK descriptor, the external data file of a qcow2 image, and the image
// that a qcow2, qcow, QED or VMDK image builds on (its backing file or parent). Names are the
// bytes of the header, up to a zero byte, as QEMU takes them. The reads are bounded whatever the
// header claims: a qcow2 image's first cluster, a VMDK descriptor of less than a MiB.
namespace startgarten::platform {

struct ImageReferences {
  std::vector<std::string> extents;  // VMDK: the files its descriptor names, in their order
  std::string dataFile;              // qcow2: the external data file; empty when it has none
  std::string backing;               // the image this one builds on; empty when none
  std::string backingFormat;         // QEMU's driver that the header states for it, if any
  // VMDK: stream-optimized (compressed), which QEMU writes only where nothing is stored yet, so
  // that a change of a file already there fails.
  bool streamOptimized = false;
};

// Reads what the file of size fileSize in the given container format names. Throws Error with
// kImageReferenceUnreadable, naming displayName, when a header names a file in a way that cannot
// be read here (a name longer than QEMU allows or outside the header, an external data file
// without a name), and for a file too short for its header.
ImageReferences ReadImageReferences(const ContainerFormat& format, std::string_view displayName,
                                    uint64_t fileSize, const ImageReader& read);

}  // namespace startgarten::platform
