#include "controls/combo_box.h"

namespace startgarten {

std::string TComboBox::ItemText(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return {};
  return items_[index];
}

void TComboBox::SetText(std::string text) {
  // text_ on the left: the other way round, GCC 12 at -O3 warns, wrongly, that the moved-in
  // parameter may be uninitialized.
  if (text_ == text) return;
  text_ = std::move(text);
  Repaint();
}

void TComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size())) index = -1;
  itemIndex_ = index;
  text_ = ItemText(index);
  Repaint();
}

void TComboBox::UserChoose(int index) {
  SetItemIndex(index);
  Change();
}

void TComboBox::UserEdit(std::string text) {
  SetText(std::move(text));
  Change();
}

void TComboBox::Change() {
  if (OnChange) OnChange();
}

}  // namespace startgarten
