#pragma once

#include <QAbstractButton>
#include <functional>

namespace startgarten {

// One of a spin edit's two arrow buttons; it takes no focus. It steps once when pressed; held
// down, it repeats after 400 ms and then every 100 ms; released over the button, it steps once
// more.
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
