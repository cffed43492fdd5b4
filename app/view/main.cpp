#include <QApplication>

#include "app/form1.h"
#include "app/view/classic_look.h"
#include "app/view/main_window.h"
#include "app/view/message_box_dialog.h"
#include "app/view/pictures.h"
#include "platform/program_path.h"

// The arguments go to Qt only, which takes an empty list (argc 0) as well; the program reads none.
int main(int argc, char* argv[]) {
  using namespace startgarten;
  QApplication app(argc, argv);
  // A message box with an empty title must show an empty title bar, which X11 fills with the
  // application's name unless its display name is set, empty.
  QGuiApplication::setApplicationDisplayName(QString(""));
  ApplyClassicLook(app);
  QApplication::setWindowIcon(ProgramIcon());

  MessageBoxDialogs boxes;
  TForm1 form(boxes, ApplicationTitleFromPath(platform::RunningProgramPath()));
  MainWindow window(form);
  boxes.SetOwner(&window);
  form.HandleEvent([&form] { form.FormCreate(); });
  window.show();
  return QApplication::exec();
}
