#include "app/view/spin_button.h"

#include <QMouseEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace startgarten {

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;
}  // namespace

SpinButton::SpinButton(Qt::ArrowType arrow, std::function<void()> step, QWidget* parent)
    : QAbstractButton(parent), arrow_(arrow), step_(std::move(step)) {
  setFocusPolicy(Qt::NoFocus);
  setAutoRepeat(true);
  setAutoRepeatDelay(kFirstRepeatMs);
  setAutoRepeatInterval(kRepeatMs);
  // Qt's auto-repeat clicks at every repeat, while the button is down, and once more when it is
  // released over the button, after it has come up: that click must not step.
  connect(this, &QAbstractButton::clicked, this, [this] {
    if (isDown()) step_();
  });
}

void SpinButton::mousePressEvent(QMouseEvent* event) {
  QAbstractButton::mousePressEvent(event);
  if (isDown()) step_();
}

void SpinButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  option.initFrom(this);
  option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
  painter.drawPrimitive(QStyle::PE_PanelButtonBevel, option);

  QStyleOption arrow = option;
  arrow.rect = rect().adjusted(2, 1, -2, -1);
  if (isDown()) arrow.rect.translate(1, 1);
  painter.drawPrimitive(
      arrow_ == Qt::UpArrow ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, arrow);
}

}  // namespace startgarten
