#pragma once

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <string>

#include "app/form1.h"
#include "app/view/classic_look.h"
#include "app/view/main_window.h"
#include "app/view/radio_group_view.h"
#include "support/recording_message_boxes.h"
#include "support/temp_drive.h"

namespace startgarten::test_support {

// A boot file with the host drive C and a few options set.
inline const std::string kBootFile =
    "[Paths]\r\nWinDir=C:\\WINDOWS\r\nHostWinBootDrv=C\r\n\r\n"
    "[Options]\r\nBootGUI=1\r\nBootMenu=1\r\nBootMenuDelay=5\r\nNetwork=0\r\nDoubleBuffer=1\r\n";
inline const std::string kConfirmation = "Wollen Sie die Start-Datei umschreiben?";

// Types a key into the widget that has the focus, as the keyboard does.
inline void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The designer name of the control that has the focus; a radio button is named after its group
// and item, "RadioGroup1[1]".
inline QString FocusName() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* group = dynamic_cast<RadioGroupView*>(focus->parentWidget())) {
    const auto item = std::ranges::find(group->Buttons(), focus) - group->Buttons().begin();
    return group->objectName() + "[" + QString::number(item) + "]";
  }
  while (focus->objectName().isEmpty() || qobject_cast<QTabBar*>(focus))
    focus = focus->parentWidget();
  return focus->objectName();
}

// Presses the key and names the control that has the focus after it.
inline QString FocusAfter(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  Press(key, modifiers);
  return FocusName();
}

// The window, in the program's look, over a temporary drive C that holds the boot file (none when
// empty), an AUTOEXEC.BAT and a WINDOWS folder without logos. The message boxes are answered OK
// unless told otherwise.
class WindowFixture {
 public:
  explicit WindowFixture(const std::string& bootFile = kBootFile) {
    if (!bootFile.empty()) drive.Write("MSDOS.SYS", bootFile);
    drive.Write("AUTOEXEC.BAT", "@echo off\r\n");
    std::filesystem::create_directories(drive.Host("WINDOWS"));
  }

  // Runs the creation handler, shows the window and waits until it is active.
  bool Open() {
    form.HandleEvent([this] { form.FormCreate(); });
    window.show();
    return QTest::qWaitForWindowActive(&window);
  }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    return window.findChild<T*>(name);
  }

  // Clicks the page's tab, which gives the tab strip the focus.
  void ShowPage(int page) const {
    QTabBar* tabs = Find<QTabWidget>("PageControl1")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
  }

  // How often a message box showed the text.
  int Shown(const std::string& text) const {
    return static_cast<int>(std::ranges::count(boxes.Texts(), text));
  }

  // The program's look, applied once for all windows of the test.
  const bool classicLook = [] {
    static const bool applied =
        (QGuiApplication::setApplicationDisplayName(QString("")), ApplyClassicLook(*qApp), true);
    return applied;
  }();
  TempDrive drive;
  RecordingMessageBoxes boxes;
  TForm1 form{boxes, "Startgarten"};
  MainWindow window{form};
};

}  // namespace startgarten::test_support
