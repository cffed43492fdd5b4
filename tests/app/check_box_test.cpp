#include "app/controls/check_box.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace startgarten {
namespace {

TEST(CheckBox, HandlerRunsOnlyOnARealChangeAndSeesTheNewState) {
  TCheckBox box;
  std::vector<bool> seen;
  box.OnClick = [&] { seen.push_back(box.Checked()); };
  box.SetChecked(false);
  box.SetChecked(true);
  box.SetChecked(true);
  box.SetChecked(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST(CheckBox, StateIsShownBeforeTheHandlerRuns) {
  TCheckBox box;
  std::string order;
  box.SetRepaint([&] { order += "shown "; });
  box.OnClick = [&] { order += "handler"; };
  box.SetChecked(true);
  EXPECT_EQ(order, "shown handler");
}

TEST(CheckBox, DisabledBoxIgnoresTheUserButNotTheProgram) {
  TCheckBox box;
  int clicks = 0;
  box.OnClick = [&] { ++clicks; };
  box.SetEnabled(false);
  box.UserClick();
  EXPECT_FALSE(box.Checked());
  box.SetChecked(true);
  EXPECT_TRUE(box.Checked());
  EXPECT_EQ(clicks, 1);
  box.SetEnabled(true);
  box.UserClick();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(clicks, 2);
}

TEST(CheckBox, ErrorInANestedHandlerEndsEveryHandlerAroundIt) {
  TCheckBox outer, inner;
  bool outerFinished = false;
  inner.OnClick = [] { throw std::runtime_error("inner failed"); };
  outer.OnClick = [&] {
    inner.SetChecked(true);
    outerFinished = true;
  };
  EXPECT_THROW(outer.SetChecked(true), std::runtime_error);
  EXPECT_FALSE(outerFinished);
  // Nothing is undone: both changes stay.
  EXPECT_TRUE(outer.Checked());
  EXPECT_TRUE(inner.Checked());
}

}  // namespace
}  // namespace startgarten
