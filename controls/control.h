#pragma once

#include <functional>
#include <utility>

namespace startgarten {

// Base of every control the window mirrors: the window registers a callback that shows the
// control's new state, which runs as soon as the state is stored, before any handler.
class TControl {
 public:
  void SetRepaint(std::function<void()> repaint) { repaint_ = std::move(repaint); }

 protected:
  void Repaint() const {
    if (repaint_) repaint_();
  }

 private:
  std::function<void()> repaint_;
};

}  // namespace startgarten
