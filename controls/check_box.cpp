#include "controls/check_box.h"

namespace startgarten {

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Repaint();
  if (OnClick) OnClick();
}

void TCheckBox::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Repaint();
}

void TCheckBox::UserClick() {
  if (enabled_) SetChecked(!checked_);
}

}  // namespace startgarten
