#pragma once

#include <QMainWindow>
#include <initializer_list>
#include <vector>

#include "app/form1.h"
#include "app/view/window_metrics.h"

class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QKeyEvent;
class QMouseEvent;

namespace startgarten {

class CheckBoxView;

// The program's one window, "Startgarten": a thin view over TForm1. It shows the model's controls
// and turns the user's input into their user actions and the form's commands; it holds no option
// state of its own. Every widget is named after its control ("CheckBox1", "BitBtn3", ...).
class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(TForm1& form);
  ~MainWindow() override;

 protected:
  // The window's key rules and the popup menu, ahead of the focused or clicked widget.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Command = void (TForm1::*)();

  // main_window.cpp: the frame, menus and bitmap buttons.
  void RunCommand(Command command);
  QAction* AddCommand(QMenu* menu, const char* name, const QString& caption, Command command);
  void BuildMenus();
  QPushButton* AddBitmapButton(QWidget* client, const char* name, const QString& caption,
                               const QImage& glyphs, const QRect& geometry, const QString& hint,
                               Command command);

  // main_window_pages.cpp: the tab control's five pages.
  void BuildPages();
  QWidget* AddPage(const char* name, const QString& caption);
  QLabel* AddLabel(QWidget* page, const char* name, const QString& caption, const QRect& geometry);
  void NameByLabels(QWidget* control, std::initializer_list<QLabel*> labels);
  CheckBoxView* AddCheckBox(QWidget* page, const char* name, TCheckBox& model,
                            const QString& caption, const QRect& geometry, const QString& hint);
  QWidget* AddSpinEdit(QWidget* page, const char* name, TSpinEdit& model, const QRect& geometry,
                       const QString& hint);
  void ChainTabOrder();

  // main_window_input.cpp: keys, focus and the popup menu.
  bool HandleKey(QWidget* target, const QKeyEvent& key);
  bool HandleRightRelease(QWidget* target, const QMouseEvent& mouse);
  void SwitchPage(int direction);
  void MoveFocusWithinPage(QWidget* from, int direction);
  void FrameDefaultButton(QWidget* focus);

  TForm1& form_;
  const WindowScale scale_;
  QTabWidget* pageControl_ = nullptr;
  QPushButton* bitBtn1_ = nullptr;
  QPushButton* bitBtn2_ = nullptr;
  QPushButton* bitBtn3_ = nullptr;
  QMenu* popupMenu_ = nullptr;
  // The controls of each page that take the focus, in their tab order.
  std::vector<std::vector<QWidget*>> pageControls_;
};

}  // namespace startgarten
