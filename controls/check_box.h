#pragma once

#include <functional>

#include "controls/control.h"

namespace startgarten {

class TCheckBox : public TControl {
 public:
  explicit TCheckBox(bool checked = false) : checked_(checked) {}

  bool Checked() const { return checked_; }
  // A change of state is shown and then runs OnClick inside this call; setting the state the
  // box already has runs nothing. Holds for enabled and disabled boxes alike.
  void SetChecked(bool checked);

  bool Enabled() const { return enabled_; }
  // Runs no handler.
  void SetEnabled(bool enabled);

  // The user's click: toggles the state. A disabled box ignores it.
  void UserClick();

  std::function<void()> OnClick;

 private:
  bool checked_;
  bool enabled_ = true;
};

}  // namespace startgarten
