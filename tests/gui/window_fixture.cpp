#include "tests/gui/window_fixture.h"

#include <algorithm>

#include "app/view/classic_look.h"

namespace startgarten::test_support {

MessageResult FakeMessageBoxes::Show(const std::string& text, const std::string& title,
                                     MessageButtons buttons, MessageIcon icon) {
  shown.push_back({text, title, buttons, icon});
  if (answers.empty()) return MessageResult::kOk;
  const MessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

int FakeMessageBoxes::Count(const std::string& text) const {
  return static_cast<int>(
      std::count_if(shown.begin(), shown.end(), [&](const Box& box) { return box.text == text; }));
}

const char* const kBootFile =
    "[Paths]\r\n"
    "WinDir=C:\\WINDOWS\r\n"
    "WinBootDir=C:\\WINDOWS\r\n"
    "HostWinBootDrv=C\r\n"
    "\r\n"
    "[Options]\r\n"
    "BootGUI=1\r\n"
    "BootMenu=1\r\n"
    "BootMenuDelay=5\r\n"
    "Network=0\r\n"
    "DoubleBuffer=1\r\n";

bool WindowFixture::ApplyClassicLookOnce() {
  static const bool applied = [] {
    QGuiApplication::setApplicationDisplayName(QString(""));
    ApplyClassicLook(*qApp);
    return true;
  }();
  return applied;
}

WindowFixture::WindowFixture(const std::string& bootFile) {
  if (!bootFile.empty()) drive.Write("MSDOS.SYS", bootFile);
  drive.Write("AUTOEXEC.BAT", "@echo off\r\n");
  std::filesystem::create_directories(drive.Host("WINDOWS"));
}

bool WindowFixture::Open() {
  form.HandleEvent([this] { form.FormCreate(); });
  window.show();
  return QTest::qWaitForWindowActive(&window);
}

void WindowFixture::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

}  // namespace startgarten::test_support
