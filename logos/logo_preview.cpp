#include "logos/logo_preview.h"

#include <string>
#include <string_view>

#include "logos/bitmap_reader.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/windows_error.h"

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

// A picture that a crash left under its ".BMP" name: without it Windows shuts down without a
// picture.
void GiveNameBack(const LogoFile& logo) {
  if (platform::GetFileAttributes(logo.systemName) == platform::kInvalidFileAttributes &&
      platform::GetFileAttributes(logo.pictureName) != platform::kInvalidFileAttributes) {
    platform::MoveFile(logo.pictureName, logo.systemName);
  }
}

bool IsMissing(const platform::ReadFileResult& file) {
  return file.error == platform::kErrorFileNotFound || file.error == platform::kErrorPathNotFound;
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
  GiveNameBack(logos);
  const platform::ReadFileResult second =
      platform::ReadWholeFile(logos.systemName, kMaxPictureFileBytes);
  if (IsMissing(second)) throw Error(platform::InOutErrorMessage(second.error));
  image2.Picture = Decode(logos, second);

  // A missing first picture only warns before its loading fails.
  const LogoFile logow = LogoIn(windowsDirectory, "logow");
  GiveNameBack(logow);
  const platform::ReadFileResult first =
      platform::ReadWholeFile(logow.systemName, kMaxPictureFileBytes);
  if (IsMissing(first)) {
    boxes.Show(platform::SystemErrorText(first.error), "", MessageButtons::kOk,
               MessageIcon::kNone);
  }
  image1.Picture = Decode(logow, first);
}

}  // namespace startgarten
