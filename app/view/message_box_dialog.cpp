#include "app/view/message_box_dialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/view/busy_cursor.h"
#include "app/view/qt_text.h"
#include "app/view/title_bar.h"

namespace startgarten {

MessageResult MessageBoxDialogs::Show(const std::string& text, const std::string& title,
                                      MessageButtons buttons, MessageIcon icon) {
  // Texts and titles may come from files (a Windows directory, a key's value, the program's file
  // name) and are shown as they are: no rich text, and a "[*]" in the title is not Qt's
  // placeholder for a modified mark. A null title leaves the title bar empty, given the empty
  // application display name that main sets: X11 would otherwise show the application's name.
  QString shownTitle = FromCp1252(title);
  shownTitle.replace("[*]", "[*][*]");
  QMessageBox box(icon == MessageIcon::kStop      ? QMessageBox::Critical
                  : icon == MessageIcon::kWarning ? QMessageBox::Warning
                                                  : QMessageBox::NoIcon,
                  title.empty() ? QString() : shownTitle, FromCp1252(text), QMessageBox::NoButton,
                  owner_);
  box.setTextFormat(Qt::PlainText);
  // Like a Windows message box, a title bar with only the close box.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowCloseButtonHint);
  QPushButton* ok = box.addButton(QMessageBox::Ok);
  ok->setText("OK");
  box.setDefaultButton(ok);
  if (buttons == MessageButtons::kOkCancel) {
    box.addButton(QMessageBox::Cancel)->setText("Abbrechen");
  }
  KeepTitleWhole(box);
  const NormalCursor normal;
  box.exec();
  return box.clickedButton() == ok ? MessageResult::kOk : MessageResult::kCancel;
}

}  // namespace startgarten
