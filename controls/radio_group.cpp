#include "controls/radio_group.h"

#include <algorithm>

namespace startgarten {

void TRadioGroup::SetItemIndex(int index) {
  index = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Repaint();
  if (itemIndex_ != -1 && OnClick) OnClick();
}

}  // namespace startgarten
