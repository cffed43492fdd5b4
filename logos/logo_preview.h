#pragma once

#include "logos/picture.h"
#include "platform/message_box.h"

namespace startgarten {

// Loads the two shutdown pictures of the Windows directory: logos.sys into image2, then
// logow.sys into image1, each briefly renamed to ".BMP" for the picture loader and always given
// its ".sys" name back. Throws Error on the first failure that ends the preview.
void LoadLogoPreview(TImage& image1, TImage& image2, MessageBoxService& boxes);

}  // namespace startgarten
