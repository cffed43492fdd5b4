#include "app/controls/combo_box.h"

#include <gtest/gtest.h>

namespace startgarten {
namespace {

class ComboBoxTest : public testing::Test {
 protected:
  ComboBoxTest() {
    box.OnChange = [this] { ++changes; };
  }
  TComboBox box{{"Standard", "Protokolliert", "Abgesichert"}};
  int changes = 0;
};

TEST_F(ComboBoxTest, TextAndIndexAreSeparateAndCodeRunsNoHandler) {
  box.SetItemIndex(2);
  EXPECT_EQ(box.Text(), "Abgesichert");
  box.SetText("Protokolliert");
  EXPECT_EQ(box.ItemIndex(), 2);
  box.SetItemIndex(-1);
  EXPECT_EQ(box.Text(), "");
  box.SetItemIndex(7);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(changes, 0);
}

TEST_F(ComboBoxTest, ItemTextIsEmptyOutsideTheList) {
  EXPECT_EQ(box.ItemText(-1), "");
  EXPECT_EQ(box.ItemText(3), "");
  EXPECT_EQ(box.ItemText(1), "Protokolliert");
}

TEST_F(ComboBoxTest, UserChoiceAndEditRunTheHandlerAfterTheChange) {
  std::string seen;
  box.OnChange = [&] { seen = box.Text() + "/" + std::to_string(box.ItemIndex()); };
  box.UserChoose(1);
  EXPECT_EQ(seen, "Protokolliert/1");
  box.UserEdit("Standard");  // an edit never selects the matching item
  EXPECT_EQ(seen, "Standard/1");
}

}  // namespace
}  // namespace startgarten
