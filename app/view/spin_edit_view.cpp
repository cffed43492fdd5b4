#include "app/view/spin_edit_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>

#include "app/program_messages.h"
#include "app/view/qt_text.h"
#include "app/view/spin_button.h"

namespace startgarten {

SpinEditView::SpinEditView(TForm1& form, TSpinEdit& model, int buttonsWidth, QWidget* parent)
    : QLineEdit(parent),
      form_(form),
      model_(model),
      buttonsWidth_(buttonsWidth),
      up_(new SpinButton(
          Qt::UpArrow, [this] { Step(1); }, this)),
      down_(new SpinButton(
          Qt::DownArrow, [this] { Step(-1); }, this)) {
  setTextMargins(0, 0, buttonsWidth_, 0);
  up_->setAccessibleName(FromCp1252(messages::kSpinUpName));
  down_->setAccessibleName(FromCp1252(messages::kSpinDownName));
  connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
    form_.HandleEvent([this, &text] { model_.UserSetText(ToCp1252(text)); });
  });
  model_.SetRepaint([this] { Show(); });
  Show();
}

SpinEditView::~SpinEditView() {
  model_.SetRepaint(nullptr);
}

void SpinEditView::Show() {
  const QString text = FromCp1252(model_.Text());
  if (this->text() != text) setText(text);
}

void SpinEditView::Step(int direction) {
  form_.HandleEvent([this, direction] { model_.UserStep(direction); });
}

bool SpinEditView::AcceptsTyped(const QString& text) const {
  const char32_t separator = QLocale().decimalPoint().toUcs4().value(0);
  for (char32_t character : text.toUcs4()) {
    const bool controlKey = character < U' ' || character == U'\x7F';
    if (controlKey ? character == U'\r' : !TSpinEdit::AcceptsTypedCharacter(character, separator)) {
      return false;
    }
  }
  return true;
}

void SpinEditView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
    Step(event->key() == Qt::Key_Up ? 1 : -1);
    return;
  }
  // Ctrl with a key is a control key, whatever text the platform gives it.
  if (!(event->modifiers() & Qt::ControlModifier) && !AcceptsTyped(event->text())) {
    QApplication::beep();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void SpinEditView::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  const int left = width() - frame - buttonsWidth_;
  const int height = this->height() - 2 * frame - 1;
  up_->setGeometry(left, frame, buttonsWidth_, height / 2);
  down_->setGeometry(left, frame + height / 2, buttonsWidth_, height - height / 2);
}

}  // namespace startgarten
