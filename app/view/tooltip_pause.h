#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace startgarten {

// Right after a tooltip, Qt asks for the next one 20 ms after the mouse comes to rest; Windows
// waits 50 ms. Watching the application's events, this holds back a tooltip request that comes
// sooner than 50 ms after the mouse last moved and repeats it once the mouse has rested that
// long. Qt's own tooltip shows it; every other request passes untouched.
class TooltipPause : public QObject {
 public:
  explicit TooltipPause(QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Repeat();

  QElapsedTimer sinceMove_;
  QTimer repeat_;
  QPointer<QWidget> target_;
  QPoint position_;
  QPoint globalPosition_;
  bool repeating_ = false;
};

}  // namespace startgarten
