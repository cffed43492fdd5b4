#include "app/form1.h"

#include <exception>
#include <functional>

#include "bootfile/boot_file.h"
#include "bootfile/boot_options.h"
#include "interlocks/interlocks.h"
#include "logos/logo_preview.h"
#include "platform/drives/drive_session.h"
#include "platform/drives/image/image_in_use.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"

namespace startgarten {

TForm1::TForm1(MessageBoxService& boxes, std::string applicationTitle)
    : boxes_(boxes), applicationTitle_(std::move(applicationTitle)) {
  ConnectInterlockRules(Options());
}

void TForm1::FormCreate() {
  // An image that an emulator holds is only read: the box says that the window may not show the
  // options as the emulator will leave them.
  std::string shown;
  ShowErrorOf(
      [this] {
        try {
          RemoveLeftoversOfInterruptedWrites();
        } catch (const platform::ImageInUseError& inUse) {
          boxes_.Show(inUse.NoticeAtStart() + ".", applicationTitle_, MessageButtons::kOk,
                      MessageIcon::kWarning);
        }
      },
      shown);
  ShowErrorOf([this] { LoadLogoPreview(Image1, Image2, boxes_); }, shown);
  Auslesen();
}

void TForm1::StartDateischreiben1Click() {
  if (boxes_.Show(messages::kConfirmRewrite, "", MessageButtons::kOkCancel, MessageIcon::kNone) ==
      MessageResult::kOk) {
    Schreiben();
  }
  Auslesen();
}

void TForm1::Auslesen() {
  ReadBootOptions(Options(), boxes_);
}

void TForm1::Schreiben() {
  WriteBootOptions(Options(), boxes_);
}

void TForm1::BitBtn2Click() {
  ApplyStandardValues(Options());
}

void TForm1::BitBtn3Click() {
  if (OnClose) OnClose();
}

void TForm1::HandleEvent(const std::function<void()>& handler) {
  try {
    // The drives' exports of disk images serve the whole event, and end before a box shows an
    // error.
    const platform::DriveSession session;
    handler();
  } catch (const std::exception& error) {
    ShowError(error.what());
  }
}

void TForm1::ShowErrorOf(const std::function<void()>& step, std::string& shownBefore) {
  try {
    step();
  } catch (const Error& error) {
    if (error.what() != shownBefore) ShowError(error.what());
    shownBefore = error.what();
  }
}

void TForm1::ShowError(const std::string& message) {
  boxes_.Show(message + ".", applicationTitle_, MessageButtons::kOk, MessageIcon::kStop);
}

std::string ApplicationTitleFromPath(std::string_view programPath) {
  std::string name = Utf8ToCp1252(programPath.substr(programPath.find_last_of("/\\") + 1));
  name = name.substr(0, name.find('.'));
  for (size_t i = 1; i < name.size(); ++i) name[i] = ToLowerCp1252(name[i]);
  return name;
}

}  // namespace startgarten
