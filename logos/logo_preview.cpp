#include "logos/logo_preview.h"

#include <string>
#include <string_view>
#include <utility>

#include "logos/bitmap_reader.h"
#include "logos/file_extension.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/windows_error.h"

namespace startgarten {

namespace {

// A shutdown picture under its own name and under the ".BMP" name the picture loader needs.
struct LogoFile {
  std::string systemName;
  std::string pictureName;
};

LogoFile LogoIn(const std::string& windowsDirectory, std::string_view fileName) {
  std::string systemName = windowsDirectory + "\\" + std::string(fileName);
  std::string pictureName = ChangeFileExtension(systemName, ".BMP");
  return {std::move(systemName), std::move(pictureName)};
}

void MoveOrThrow(const std::string& from, const std::string& to) {
  const uint32_t error = platform::MoveFile(from, to);
  if (error != platform::kErrorSuccess) throw Error(platform::InOutErrorMessage(error));
}

// Loads the picture from its ".BMP" name and gives the file back its own name. A failed load
// gives the name back too before its error goes on, so that Windows never loses its shutdown
// picture; the load's error is the one worth showing, so the outcome of that rename is not.
void LoadAndGiveNameBack(const LogoFile& logo, TImage& image) {
  try {
    image.Picture = LoadPictureFromFile(logo.pictureName);
  } catch (...) {
    platform::MoveFile(logo.pictureName, logo.systemName);
    throw;
  }
  MoveOrThrow(logo.pictureName, logo.systemName);
}

}  // namespace

void LoadLogoPreview(TImage& image1, TImage& image2, MessageBoxService& boxes) {
  const std::string windowsDirectory = platform::GetWindowsDirectory();

  const LogoFile logos = LogoIn(windowsDirectory, "logos.sys");
  MoveOrThrow(logos.systemName, logos.pictureName);
  LoadAndGiveNameBack(logos, image2);

  // The first picture's rename only warns: a copy left under its ".BMP" name by an earlier
  // failure is still loaded and given back its name.
  const LogoFile logow = LogoIn(windowsDirectory, "logow.sys");
  const uint32_t error = platform::MoveFile(logow.systemName, logow.pictureName);
  if (error != platform::kErrorSuccess) {
    boxes.Show(platform::SystemErrorText(error), "", MessageButtons::kOk, MessageIcon::kNone);
  }
  LoadAndGiveNameBack(logow, image1);
}

}  // namespace startgarten
