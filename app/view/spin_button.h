#pragma once

#include <QAbstractButton>
#include <functional>

namespace startgarten {

// One of a spin edit's two arrow buttons; it takes no focus. It steps once when pressed and, held
// down, again after 400 ms and then every 100 ms; releasing it adds no step, so that a click
// steps exactly once.
class SpinButton : public QAbstractButton {
 public:
  SpinButton(Qt::ArrowType arrow, std::function<void()> step, QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Qt::ArrowType arrow_;
  std::function<void()> step_;
};

}  // namespace startgarten
