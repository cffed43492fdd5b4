#include "app/view/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "app/view/radio_group_view.h"
#include "app/view/spin_edit_view.h"

namespace startgarten {

namespace {

// The widget that takes the focus for a control of a page's tab order.
QWidget* FocusTarget(QWidget* control) {
  if (auto* group = dynamic_cast<RadioGroupView*>(control)) return group->TabStop();
  return control;
}

}  // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::MouseButtonRelease) {
    return false;
  }
  auto* target = qobject_cast<QWidget*>(watched);
  if (!target || target->window() != this) return false;
  if (event->type() == QEvent::KeyPress) {
    return HandleKey(target, static_cast<const QKeyEvent&>(*event));
  }
  return HandleRightRelease(target, static_cast<const QMouseEvent&>(*event));
}

bool MainWindow::HandleKey(QWidget* target, const QKeyEvent& key) {
  // The menu bar's own keyboard navigation keeps its keys.
  if (qobject_cast<QMenuBar*>(target)) return false;
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (modifiers != Qt::NoModifier) return false;
      if (target == bitBtn1_ || target == bitBtn2_ || target == bitBtn3_) {
        static_cast<QPushButton*>(target)->click();
        return true;
      }
      if (target == pageControl_->tabBar() || qobject_cast<QCheckBox*>(target) ||
          qobject_cast<QRadioButton*>(target) || dynamic_cast<SpinEditView*>(target)) {
        bitBtn1_->click();
        return true;
      }
      return false;
    case Qt::Key_Escape:
      if (modifiers != Qt::NoModifier) return false;
      bitBtn3_->click();
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      if ((modifiers & ~Qt::ShiftModifier) != Qt::ControlModifier) return false;
      SwitchPage(key.key() == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier) ? -1 : 1);
      return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
      if ((modifiers & Qt::AltModifier) || !qobject_cast<QCheckBox*>(target)) return false;
      MoveFocusWithinPage(target, key.key() == Qt::Key_Left || key.key() == Qt::Key_Up ? -1 : 1);
      return true;
    default:
      return false;
  }
}

// The popup menu belongs to the tab control and so opens over it and over anything on its pages,
// except the text fields, which show their own editing menu instead.
bool MainWindow::HandleRightRelease(QWidget* target, const QMouseEvent& mouse) {
  if (mouse.button() != Qt::RightButton) return false;
  if (target != pageControl_ && !pageControl_->isAncestorOf(target)) return false;
  if (qobject_cast<QLineEdit*>(target)) return false;
  popupMenu_->popup(mouse.globalPosition().toPoint());
  return true;
}

// Ctrl+Tab and Ctrl+Shift+Tab, wrapping around. When the focus was on the page that goes, it
// moves to the first control of the page that comes.
void MainWindow::SwitchPage(int direction) {
  QWidget* focus = QApplication::focusWidget();
  const bool focusOnPage = focus && pageControl_->currentWidget()->isAncestorOf(focus);
  const int count = pageControl_->count();
  const int page = (pageControl_->currentIndex() + direction + count) % count;
  pageControl_->setCurrentIndex(page);
  if (!focusOnPage) return;
  for (QWidget* control : pageControls_[page]) {
    if (control->isEnabled()) {
      FocusTarget(control)->setFocus(Qt::TabFocusReason);
      return;
    }
  }
  pageControl_->tabBar()->setFocus(Qt::TabFocusReason);
}

// The arrow keys on a check box: the previous or next control of the page in tab order that can
// take the focus, wrapping around.
void MainWindow::MoveFocusWithinPage(QWidget* from, int direction) {
  std::vector<QWidget*> focusable;
  for (QWidget* control : pageControls_[pageControl_->currentIndex()]) {
    if (control->isEnabled()) focusable.push_back(control);
  }
  const auto at = std::find(focusable.begin(), focusable.end(), from);
  if (at == focusable.end()) return;
  const int count = static_cast<int>(focusable.size());
  const int index = static_cast<int>(at - focusable.begin());
  FocusTarget(focusable[(index + direction + count) % count])->setFocus(Qt::TabFocusReason);
}

// A button that has the focus is drawn as the default button; while none has, BitBtn1 is.
void MainWindow::FrameDefaultButton(QWidget* focus) {
  QPushButton* framed = bitBtn1_;
  for (QPushButton* button : {bitBtn1_, bitBtn2_, bitBtn3_}) {
    if (focus == button) framed = button;
  }
  for (QPushButton* button : {bitBtn1_, bitBtn2_, bitBtn3_}) {
    // Qt's Windows style leaves room for the default frame only on auto-default buttons.
    button->setAutoDefault(button == framed);
    button->setDefault(button == framed);
  }
}

}  // namespace startgarten
