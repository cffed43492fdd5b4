#include "logos/logo_preview.h"

#include <string>
#include <string_view>

#include "logos/bitmap_reader.h"
#include "platform/files.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

namespace {

// Larger than any picture the reader builds (kMaxBitmapPixels at 32 bits per pixel).
constexpr size_t kMaxPictureFileBytes = size_t{65} << 20;

// A shutdown picture under its own name, and under the ".BMP" name that earlier versions gave
// it while they showed it, which the messages still name.
struct LogoFile {
  std::string systemName;
  std::string pictureName;
};

LogoFile LogoIn(const std::string& windowsDirectory, std::string_view baseName) {
  const std::string base = windowsDirectory + "\\" + std::string(baseName);
  return {base + ".sys", base + ".BMP"};
}

bool IsMissing(const platform::ReadFileResult& file) {
  return file.error == platform::kErrorFileNotFound || file.error == platform::kErrorPathNotFound;
}

// The picture's bytes. One that a crash left under its ".BMP" name gets its own name back first:
// without it Windows shuts down without a picture.
platform::ReadFileResult ReadLogo(const LogoFile& logo) {
  platform::ReadFileResult file = platform::ReadWholeFile(logo.systemName, kMaxPictureFileBytes);
  if (IsMissing(file) && platform::MoveFile(logo.pictureName, logo.systemName) == 0)
    file = platform::ReadWholeFile(logo.systemName, kMaxPictureFileBytes);
  return file;
}

TPicture Decode(const LogoFile& logo, const platform::ReadFileResult& file) {
  if (file.error || file.tooLarge) {
    throw Error(FormatMessageText(messages::kCannotOpenFile, logo.pictureName));
  }
  return DecodeBitmap(file.bytes);
}

}  // namespace

void LoadLogoPreview(TImage& image1, TImage& image2, MessageBoxService& boxes) {
  const std::string windowsDirectory = platform::GetWindowsDirectory();

  const LogoFile logos = LogoIn(windowsDirectory, "logos");
  const platform::ReadFileResult second = ReadLogo(logos);
  if (IsMissing(second)) throw Error(platform::InOutErrorMessage(second.error));
  image2.Picture = Decode(logos, second);

  // A missing first picture only warns before its loading fails.
  const LogoFile logow = LogoIn(windowsDirectory, "logow");
  const platform::ReadFileResult first = ReadLogo(logow);
  if (IsMissing(first)) {
    boxes.Show(platform::SystemErrorText(first.error), "", MessageButtons::kOk, MessageIcon::kNone);
  }
  image1.Picture = Decode(logow, first);
}

}  // namespace startgarten
