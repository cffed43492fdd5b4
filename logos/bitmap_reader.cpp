#include "logos/bitmap_reader.h"

#include "logos/file_extension.h"
#include "platform/messages.h"
#include "platform/cp1252.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/windows_error.h"

namespace startgarten {

namespace {

// Larger than any picture the reader builds (kMaxBitmapPixels at 32 bits per pixel).
constexpr size_t kMaxPictureFileBytes = size_t{65} << 20;

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = ToLowerCp1252(c);
  return lower;
}

}  // namespace

TPicture LoadPictureFromFile(const std::string& dosPath) {
  const std::string extension = LowerCase(FileExtension(dosPath));
  if (extension != "bmp") {
    throw Error(FormatMessageText(messages::kUnknownPictureExtension, extension));
  }
  const platform::ReadFileResult file = platform::ReadWholeFile(dosPath, kMaxPictureFileBytes);
  if (file.error != platform::kErrorSuccess || file.tooLarge) {
    throw Error(FormatMessageText(messages::kCannotOpenFile, dosPath));
  }
  return DecodeBitmap(file.bytes);
}

}  // namespace startgarten
