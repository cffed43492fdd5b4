#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/control.h"

namespace startgarten {

// A drop-down combo box whose shown text and selected index are separate values: setting one
// from code never changes the other, and no change from code runs OnChange.
class TComboBox : public TControl {
 public:
  // At most this many characters can be typed into the field.
  static constexpr size_t kMaxTypedLength = 255;

  explicit TComboBox(std::vector<std::string> items) : items_(std::move(items)) {}

  const std::vector<std::string>& Items() const { return items_; }
  // The text of item index, empty for any index outside the list.
  std::string ItemText(int index) const;

  const std::string& Text() const { return text_; }
  void SetText(std::string text);

  int ItemIndex() const { return itemIndex_; }
  // Selects the item (none for an index outside the list) and shows its text.
  void SetItemIndex(int index);

  // The user chose an item from the list: it is selected and shown, then OnChange runs.
  void UserChoose(int index);
  // The user edited the field: the text as it now stands; then OnChange runs.
  void UserEdit(std::string text);

  std::function<void()> OnChange;

 private:
  void Change();

  std::vector<std::string> items_;
  std::string text_;
  int itemIndex_ = -1;
};

}  // namespace startgarten
