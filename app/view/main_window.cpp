#include "app/view/main_window.h"

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <optional>

#include "app/view/accessible_roles.h"
#include "app/view/busy_cursor.h"
#include "app/view/classic_look.h"
#include "app/view/pictures.h"

namespace startgarten {

namespace {

// Where the window's outer top-left corner opens, in device pixels of the screen, at any scale.
constexpr QPoint kWindowPosition(200, 105);
// X11 window managers offer the maximise box only on windows that can be resized. A resize step
// larger than any screen keeps the frame at its size when dragged, while maximising, which
// ignores the step, still enlarges it.
constexpr int kNoResizeStep = 0x7FFF;

}  // namespace

MainWindow::MainWindow(TForm1& form)
    : form_(form), scale_(WindowScale::ForScreen(*QGuiApplication::primaryScreen())) {
  InstallAccessibleRoles();
  setObjectName("Form1");
  setWindowTitle("Startgarten");
  setWindowIcon(ProgramIcon());
  BuildMenus();

  auto* client = new QWidget(this);
  client->setMinimumSize(scale_(300), scale_(241));
  setCentralWidget(client);

  pageControl_ = new QTabWidget(client);
  pageControl_->setObjectName("PageControl1");
  pageControl_->setGeometry(scale_(1, 8, 295, 193));
  // As a Windows tab control, the tab strip takes the focus when a tab is clicked.
  pageControl_->tabBar()->setFocusPolicy(Qt::StrongFocus);
  BuildPages();

  bitBtn1_ = AddBitmapButton(client, "BitBtn1", "OK", OkGlyphStrip(), scale_(8, 208, 80, 25),
                             "Die eingestellten Parameter werden gesichert",
                             &TForm1::StartDateischreiben1Click);
  bitBtn2_ = AddBitmapButton(
      client, "BitBtn2", "Standardwerte", DefaultsGlyphStrip(), scale_(106, 208, 100, 25),
      "Die Standardwerte werden angezeigt, aber noch nicht gesichert", &TForm1::BitBtn2Click);
  bitBtn3_ =
      AddBitmapButton(client, "BitBtn3", "Abbrechen", CancelGlyphStrip(), scale_(216, 208, 80, 25),
                      "Abrechen ohne Sicherung", &TForm1::BitBtn3Click);
  FrameDefaultButton(nullptr);
  ChainTabOrder();

  resize(minimumSizeHint());
  setMinimumSize(size());
  move(scale_.LogicalPosition(kWindowPosition));
  create();  // Qt hands the resize step to the window system only once the window exists
  setBaseSize(size());
  setSizeIncrement(kNoResizeStep, kNoResizeStep);

  form_.OnClose = [this] { close(); };
  qApp->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && now->window() == this) FrameDefaultButton(now);
  });
  pageControl_->setCurrentIndex(3);
  pageControl_->tabBar()->setFocus();
}

MainWindow::~MainWindow() {
  form_.OnClose = nullptr;
}

void MainWindow::RunCommand(Command command) {
  // Reading and writing wait for the disk, on a disk image for mtools too; the other commands
  // end at once.
  const bool waits = command == &TForm1::Auslesen || command == &TForm1::StartDateischreiben1Click;
  std::optional<BusyCursor> busy;
  if (waits) busy.emplace();
  form_.HandleEvent([this, command] { (form_.*command)(); });
}

QAction* MainWindow::AddCommand(QMenu* menu, const char* name, const QString& caption,
                                Command command) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
  return action;
}

// No caption has a mnemonic letter and no item a shortcut key. The menu bar's "Beenden" closes
// the window like the popup menu's.
void MainWindow::BuildMenus() {
  menuBar()->setObjectName("MainMenu1");
  // The menu bar belongs to the window, also on desktops that show menus in a global bar.
  menuBar()->setNativeMenuBar(false);
  QMenu* file = menuBar()->addMenu("Datei");
  file->setObjectName("Datei1");
  AddCommand(file, "StartDateilesen1", "Start-Datei lesen", &TForm1::Auslesen);
  AddCommand(file, "StartDateischreiben1", "Start-Datei schreiben",
             &TForm1::StartDateischreiben1Click);
  file->addSeparator()->setObjectName("N1");
  AddCommand(file, "Beenden1", "Beenden", &TForm1::BitBtn3Click);

  popupMenu_ = new QMenu(this);
  popupMenu_->setObjectName("PopupMenu1");
  AddCommand(popupMenu_, "StartDateilesen2", "Start-Datei lesen", &TForm1::Auslesen);
  AddCommand(popupMenu_, "StartDateischreiben2", "Start-Datei schreiben",
             &TForm1::StartDateischreiben1Click);
  popupMenu_->addSeparator()->setObjectName("N2");
  AddCommand(popupMenu_, "Beenden2", "Standardwerte setzen", &TForm1::BitBtn2Click);
  popupMenu_->addSeparator()->setObjectName("N3");
  AddCommand(popupMenu_, "Beenden3", "Beenden", &TForm1::BitBtn3Click);
}

// Picture and caption side by side, 4 pixels apart, the pair centred: Qt's push button draws its
// icon that way.
QPushButton* MainWindow::AddBitmapButton(QWidget* client, const char* name, const QString& caption,
                                         const QImage& glyphs, const QRect& geometry,
                                         const QString& hint, Command command) {
  auto* button = new QPushButton(GlyphIcon(glyphs), caption, client);
  button->setObjectName(name);
  button->setIconSize(QSize(glyphs.height(), glyphs.height()));
  button->setGeometry(geometry);
  SetHint(button, hint);
  connect(button, &QPushButton::clicked, this, [this, command] { RunCommand(command); });
  return button;
}

}  // namespace startgarten
