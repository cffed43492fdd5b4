#include "app/controls/radio_group.h"

#include <gtest/gtest.h>

namespace startgarten {
namespace {

TRadioGroup DefaultSystemGroup() {
  return TRadioGroup({"DOS", "Windows 95"}, 1);
}

TEST(RadioGroup, IndexIsClampedToTheItems) {
  TRadioGroup group = DefaultSystemGroup();
  group.SetItemIndex(0);
  group.SetItemIndex(5);
  EXPECT_EQ(group.ItemIndex(), 1);
  group.SetItemIndex(-3);
  EXPECT_EQ(group.ItemIndex(), -1);
}

TEST(RadioGroup, HandlerRunsOnARealChangeToAnItemButNotToNone) {
  TRadioGroup group = DefaultSystemGroup();
  std::vector<int> seen;
  group.OnClick = [&] { seen.push_back(group.ItemIndex()); };
  group.SetItemIndex(5);   // clamps to 1, the current item
  group.SetItemIndex(0);   // runs, with the new index in place
  group.SetItemIndex(-3);  // none selected: no handler
  group.SetItemIndex(-1);
  group.UserClick(1);
  group.UserClick(1);  // clicking the selected item runs nothing
  EXPECT_EQ(seen, (std::vector<int>{0, 1}));
}

}  // namespace
}  // namespace startgarten
