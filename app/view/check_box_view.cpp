#include "app/view/check_box_view.h"

#include <QLabel>
#include <QMouseEvent>

namespace startgarten {

CheckBoxView::CheckBoxView(TForm1& form, TCheckBox& model, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), model_(model) {
  model_.SetRepaint([this] { Show(); });
  connect(this, &QAbstractButton::clicked, this,
          [&form, &model] { form.HandleEvent([&model] { model.UserClick(); }); });
  Show();
}

CheckBoxView::~CheckBoxView() {
  model_.SetRepaint(nullptr);
}

void CheckBoxView::AddCaptionLine(QLabel* line) {
  line->setBuddy(this);
  setAccessibleName((accessibleName().isEmpty() ? text() : accessibleName()) + ' ' + line->text());
  line->installEventFilter(this);
}

// As on the box itself, the box shows pressed while the left button is held on the line, and the
// click happens when the button is released over it.
bool CheckBoxView::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::MouseButtonPress;
  if (!press && event->type() != QEvent::MouseButtonRelease) return false;
  const auto& mouse = static_cast<const QMouseEvent&>(*event);
  if (mouse.button() != Qt::LeftButton || !isEnabled()) return false;
  setDown(press);
  if (!press && static_cast<QWidget*>(watched)->rect().contains(mouse.position().toPoint())) {
    setFocus(Qt::MouseFocusReason);
    click();
  }
  return true;
}

void CheckBoxView::Show() {
  setChecked(model_.Checked());
  setEnabled(model_.Enabled());
}

}  // namespace startgarten
