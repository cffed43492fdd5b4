#include "app/view/tooltip_pause.h"

#include <QApplication>
#include <QHelpEvent>
#include <QWidget>

namespace startgarten {

namespace {
constexpr qint64 kQuickPause = 50;
}  // namespace

TooltipPause::TooltipPause(QObject* parent) : QObject(parent) {
  repeat_.setSingleShot(true);
  connect(&repeat_, &QTimer::timeout, this, [this] { Repeat(); });
}

bool TooltipPause::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
      sinceMove_.start();
      repeat_.stop();  // Qt waits for a rest anew and asks again
      return false;
    // Where Qt stops waiting for a tooltip, a held-back request is dropped.
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::Leave:
      repeat_.stop();
      return false;
    case QEvent::ToolTip: {
      if (repeating_ || !watched->isWidgetType() || !sinceMove_.isValid()) return false;
      const qint64 rested = sinceMove_.elapsed();
      if (rested >= kQuickPause) return false;
      const auto* request = static_cast<const QHelpEvent*>(event);
      target_ = static_cast<QWidget*>(watched);
      position_ = request->pos();
      globalPosition_ = request->globalPos();
      repeat_.start(static_cast<int>(kQuickPause - rested));
      return true;
    }
    default:
      return false;
  }
}

void TooltipPause::Repeat() {
  if (!target_) return;
  QHelpEvent request(QEvent::ToolTip, position_, globalPosition_);
  repeating_ = true;
  QApplication::sendEvent(target_, &request);
  repeating_ = false;
}

}  // namespace startgarten
