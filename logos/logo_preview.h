#pragma once

#include "logos/picture.h"
#include "platform/windows/message_box.h"

namespace startgarten {

// Loads the two shutdown pictures of the Windows directory: logos.sys into image2, then
// logow.sys into image1, read where they are. A picture that an earlier version left under a
// ".BMP" name gets its own name back first. A missing logos.sys ends the preview with its
// input/output error; a missing logow.sys is reported in a box and then ends it with
// messages::kCannotOpenFile, as does a file that cannot be read. Throws Error on the first
// failure that ends the preview.
void LoadLogoPreview(TImage& image1, TImage& image2, MessageBoxService& boxes);

}  // namespace startgarten
