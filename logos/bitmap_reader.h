#pragma once

#include <string>
#include <string_view>

#include "logos/picture.h"

namespace startgarten {

// Decodes the bytes of a BMP file. Throws Error with "Stream-Read-Fehler " for a file shorter
// than its headers or pixel data and "Bitmap ist ungültig" for anything that is not a bitmap
// this reader knows. A file of length 0 gives an empty picture.
TPicture DecodeBitmap(std::string_view bytes);

// Loads a picture file, choosing the reader by the name's extension (only ".bmp" is known:
// anything else throws "Unbekannte Bilddateierweiterung (.%s)"). Throws "Kann Datei %s nicht
// öffnen" when the file cannot be read.
TPicture LoadPictureFromFile(const std::string& dosPath);

}  // namespace startgarten
