#include <QApplication>
#include <algorithm>
#include <cstdlib>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/no_display.h"
#include "app/program_messages.h"
#include "app/view/busy_cursor.h"
#include "app/view/classic_look.h"
#include "app/view/desktop_integration.h"
#include "app/view/first_start_box.h"
#include "app/view/main_window.h"
#include "app/view/message_box_dialog.h"
#include "app/view/pictures.h"
#include "platform/system/program_path.h"

namespace {

QtMessageHandler qtsOwnHandler = nullptr;

// While the application object opens the display, Qt ends the program with a fatal message when
// no platform plugin can open one (DISPLAY names an X server that is not there): the user gets
// the German message and exit status 1 instead of an abort.
void EndWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type != QtFatalMsg) return qtsOwnHandler(type, context, text);
  std::_Exit(startgarten::ReportNoDisplay(startgarten::messages::kNoDisplayOpened));
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace startgarten;
  if (const std::optional<int> exitStatus = TakeCommandLine(argc, argv)) return *exitStatus;
  // The arguments are the program's own: Qt is given none of them to read (it takes an empty list,
  // argc 0, as well).
  int qtArgc = std::min(argc, 1);
  qtsOwnHandler = qInstallMessageHandler(EndWithoutDisplay);
  QApplication app(qtArgc, argv);
  qInstallMessageHandler(qtsOwnHandler);
  IntegrateWithDesktop();
  // A message box with an empty title must show an empty title bar, which X11 fills with the
  // application's name unless its display name is set, empty.
  QGuiApplication::setApplicationDisplayName(QString(""));
  ApplyClassicLook(app);
  QApplication::setWindowIcon(ProgramIcon());

  MessageBoxDialogs boxes;
  TForm1 form(boxes, ApplicationTitleFromPath(platform::RunningProgramPath()));
  if (!FindDriveC()) return 1;
  MainWindow window(form);
  boxes.SetOwner(&window);
  {
    const BusyCursor busy;
    form.HandleEvent([&form] { form.FormCreate(); });
  }
  window.show();
  return QApplication::exec();
}
