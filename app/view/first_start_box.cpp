#include "app/view/first_start_box.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <optional>
#include <vector>

#include "app/drive_c_notice.h"
#include "app/view/qt_text.h"
#include "platform/disk_image_names.h"
#include "platform/drive_locations.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace startgarten {

namespace {

// A way to choose drive C, offered by a button of the box: the button's text and the dialog that
// asks for the path (empty when cancelled).
struct DriveChoice {
  const char* button;
  QString (*ask)();
};

const std::vector<DriveChoice> kDriveChoices = {
    {messages::kDriveCChooseFolder,
     [] {
       return QFileDialog::getExistingDirectory(nullptr,
                                                FromCp1252(messages::kDriveCChooseFolderTitle));
     }},
    {messages::kDriveCChooseImage,
     [] {
       const std::string filters =
           FormatMessageText(messages::kDriveCImageFilter, platform::kDiskImagePatterns) + ";;" +
           messages::kDriveCAllFilesFilter;
       return QFileDialog::getOpenFileName(nullptr, FromCp1252(messages::kDriveCChooseImageTitle),
                                           QString(), FromCp1252(filters));
     }},
};

// Shows the notice; the choice the user made, none for quitting.
const DriveChoice* AskForDriveC(const std::string& notice, const std::string& title) {
  QMessageBox box(QMessageBox::Information, FromCp1252(title), FromCp1252(notice));
  std::vector<QPushButton*> buttons;
  for (const DriveChoice& choice : kDriveChoices) {
    buttons.push_back(box.addButton(FromCp1252(choice.button), QMessageBox::AcceptRole));
  }
  box.setDefaultButton(buttons.front());
  box.setEscapeButton(box.addButton(FromCp1252(messages::kDriveCQuit), QMessageBox::RejectRole));
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return &kDriveChoices[i];
  }
  return nullptr;
}

}  // namespace

bool FindDriveC(const std::string& applicationTitle) {
  while (const std::optional<std::string> notice = MissingDriveCNotice()) {
    const DriveChoice* choice = AskForDriveC(*notice, applicationTitle);
    if (!choice) return false;
    // A cancelled dialog brings the notice back.
    if (const QString path = choice->ask(); !path.isEmpty()) {
      platform::ChooseDriveC(QFile::encodeName(path).toStdString());
    }
  }
  return true;
}

}  // namespace startgarten
