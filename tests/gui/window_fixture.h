#pragma once

#include <QApplication>
#include <QTest>
#include <deque>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/view/main_window.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::test_support {

// Answers the program's message boxes in place of the user, OK unless told otherwise, and keeps
// what was shown.
class FakeMessageBoxes : public MessageBoxService {
 public:
  struct Box {
    std::string text;
    std::string title;
    MessageButtons buttons;
    MessageIcon icon;
  };

  MessageResult Show(const std::string& text, const std::string& title, MessageButtons buttons,
                     MessageIcon icon) override;
  int Count(const std::string& text) const;

  std::deque<MessageResult> answers;
  std::vector<Box> shown;
};

// A boot file with the host drive C and a few options set.
extern const char* const kBootFile;
inline const std::string kConfirmation = "Wollen Sie die Start-Datei umschreiben?";

// The window, in the program's look, over a temporary drive C that holds the boot file (none when
// empty), an AUTOEXEC.BAT and a WINDOWS folder without logos.
class WindowFixture {
 public:
  explicit WindowFixture(const std::string& bootFile = kBootFile);

  // Runs the creation handler, shows the window and waits until it is active.
  bool Open();

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return window.findChild<T*>(name);
  }

  // Clicks the page's tab, which gives the tab strip the focus.
  void ShowPage(int page) const;
  // Types a key into the widget that has the focus, as the keyboard does.
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // The designer name of the control that has the focus; a radio button is named after its group
  // and item, "RadioGroup1[1]".
  static QString FocusName();

  const bool classicLook = ApplyClassicLookOnce();
  TempDrive drive;
  FakeMessageBoxes boxes;
  TForm1 form{boxes, "Startgarten"};
  MainWindow window{form};

 private:
  static bool ApplyClassicLookOnce();
};

}  // namespace startgarten::test_support
