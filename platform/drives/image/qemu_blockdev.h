#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/image/image_files.h"

// The layers of an image as one node of QEMU's "--blockdev" option, in its JSON form: each
// layer's format driver over a file node of its file, its external data file named as a file node
// too, and the layer it builds on as "backing", down to an explicit end. So QEMU probes no format
// and opens no file that a header names, except a VMDK's extents, which were checked.
namespace startgarten::platform {

// writable: whether the image itself (and its data file) is opened for writing; the layers it
// builds on are read only. Without it no file takes QEMU's locks, so that an image that a running
// emulator holds can be read.
std::string QemuBlockdev(const std::vector<ImageLayer>& layers, std::string_view nodeName,
                         bool writable);

}  // namespace startgarten::platform
