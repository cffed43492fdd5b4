// The floor of the start-up benchmark: a Qt window with the same number and kinds of widgets as
// Startgarten's, in the same places of the tree and with the same page in front, in Qt's own
// "Windows" style (the one the program's look starts from, and the one whose combo box list has
// the program's widgets) and nothing else: no palette or font of its own, no pictures, no files.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace {

// The spin edits' arrow buttons are plain QAbstractButtons, which need a paint function.
class ArrowButton : public QAbstractButton {
 public:
  using QAbstractButton::QAbstractButton;

 protected:
  void paintEvent(QPaintEvent*) override {}
};

void AddCheckBoxes(QWidget* page, int count) {
  for (int i = 0; i < count; ++i) new QCheckBox(QString("Option %1").arg(i + 1), page);
}

void AddLabels(QWidget* page, int count) {
  for (int i = 0; i < count; ++i) new QLabel(QString("Text %1").arg(i + 1), page);
}

void AddSpinEdit(QWidget* page) {
  auto* edit = new QLineEdit("30", page);
  new ArrowButton(edit);
  new ArrowButton(edit);
}

void AddRadioGroup(QWidget* page, int items) {
  auto* group = new QGroupBox("Gruppe", page);
  for (int i = 0; i < items; ++i) new QRadioButton(QString("Wahl %1").arg(i + 1), group);
}

void AddMenuItems(QMenu* menu, int count) {
  for (int i = 0; i < count; ++i) menu->addAction(QString("Befehl %1").arg(i + 1));
}

void BuildPages(QTabWidget* pages) {
  auto* menu = new QWidget;
  AddCheckBoxes(menu, 3);
  AddLabels(menu, 5);
  AddSpinEdit(menu);
  AddSpinEdit(menu);
  auto* startType = new QComboBox(menu);
  startType->setEditable(true);
  startType->addItems({"Standard", "Protokolliert", "Abgesichert"});
  startType->view();  // the list and its frame, which the program's combo box has made too
  pages->addTab(menu, "Menü");

  auto* start = new QWidget;
  AddCheckBoxes(start, 5);
  AddRadioGroup(start, 2);
  pages->addTab(start, "Start");

  auto* buffering = new QWidget;
  AddRadioGroup(buffering, 3);
  pages->addTab(buffering, "Pufferung");

  auto* drives = new QWidget;
  AddCheckBoxes(drives, 3);
  AddLabels(drives, 2);
  pages->addTab(drives, "Drive/DoubleSpace");

  auto* logo = new QWidget;
  AddCheckBoxes(logo, 1);
  AddLabels(logo, 2);
  new QWidget(logo);
  new QWidget(logo);
  pages->addTab(logo, "Logo");
  pages->setCurrentIndex(3);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setStyle("Windows");
  QMainWindow window;
  AddMenuItems(window.menuBar()->addMenu("Datei"), 3);
  AddMenuItems(new QMenu(&window), 4);

  auto* client = new QWidget(&window);
  window.setCentralWidget(client);
  auto* pages = new QTabWidget(client);
  pages->setGeometry(1, 8, 295, 193);
  BuildPages(pages);
  for (int i = 0; i < 3; ++i) {
    (new QPushButton(QString("Knopf %1").arg(i + 1), client))
        ->setGeometry(8 + 100 * i, 208, 80, 25);
  }
  window.resize(300, 259);
  window.show();
  return QApplication::exec();
}
