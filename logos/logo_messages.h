#pragma once

// Texts of the picture loader's own errors (code page 1252).
namespace startgarten::messages {

inline constexpr const char* kInvalidBitmap = "Bitmap ist ung\xFCltig";
inline constexpr const char* kUnknownPictureExtension = "Unbekannte Bilddateierweiterung (.%s)";

}  // namespace startgarten::messages
