#include "tests/gui/window_fixture.h"

#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "app/view/classic_look.h"
#include "app/view/radio_group_view.h"

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
    "[Paths]\r\nWinDir=C:\\WINDOWS\r\nHostWinBootDrv=C\r\n\r\n"
    "[Options]\r\nBootGUI=1\r\nBootMenu=1\r\nBootMenuDelay=5\r\nNetwork=0\r\nDoubleBuffer=1\r\n";

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

void WindowFixture::ShowPage(int page) const {
  QTabBar* tabs = Find<QTabWidget>("PageControl1")->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
}

void WindowFixture::Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
  QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

QString WindowFixture::FocusName() {
  QWidget* focus = QApplication::focusWidget();
  if (auto* group = dynamic_cast<RadioGroupView*>(focus->parentWidget())) {
    const auto& items = group->Buttons();
    const auto item = std::find(items.begin(), items.end(), focus) - items.begin();
    return group->objectName() + "[" + QString::number(item) + "]";
  }
  while (focus->objectName().isEmpty() || qobject_cast<QTabBar*>(focus)) {
    focus = focus->parentWidget();
  }
  return focus->objectName();
}

}  // namespace startgarten::test_support
