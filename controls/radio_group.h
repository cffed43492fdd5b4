#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/control.h"

namespace startgarten {

class TRadioGroup : public TControl {
 public:
  TRadioGroup(std::vector<std::string> items, int itemIndex)
      : items_(std::move(items)), itemIndex_(itemIndex) {}

  const std::vector<std::string>& Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }

  // Clamps index to -1 .. item count - 1. A real change is shown and, unless the new index is
  // -1, runs OnClick inside this call with the new index in place.
  void SetItemIndex(int index);

  // The user's click on an item is the same as setting its index.
  void UserClick(int index) { SetItemIndex(index); }

  std::function<void()> OnClick;

 private:
  std::vector<std::string> items_;
  int itemIndex_;
};

}  // namespace startgarten
