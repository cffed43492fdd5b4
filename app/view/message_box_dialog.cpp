#include "app/view/message_box_dialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/view/qt_text.h"

namespace startgarten {

MessageResult MessageBoxDialogs::Show(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) {
  // A null title leaves the title bar empty, given the empty application display name that main
  // sets: X11 would otherwise show the application's name there.
  QMessageBox box(icon == MessageIcon::kStop ? QMessageBox::Critical : QMessageBox::NoIcon,
                  title.empty() ? QString() : FromCp1252(title), FromCp1252(text),
                  QMessageBox::NoButton, owner_);
  // Like a Windows message box, a title bar with only the close box.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  ok->setText("OK");
  box.setDefaultButton(ok);
  if (buttons == MessageButtons::kOkCancel) {
    box.addButton(QMessageBox::Cancel)->setText("Abbrechen");
  }
  box.exec();
  return box.clickedButton() == ok ? MessageResult::kOk : MessageResult::kCancel;
}

}  // namespace startgarten
