#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string_view>

#include "controls/check_box.h"
#include "controls/combo_box.h"
#include "controls/memo.h"
#include "controls/radio_group.h"
#include "controls/spin_edit.h"
#include "platform/windows/messages.h"
#include "support/error_of.h"
#include "support/temp_drive.h"

namespace startgarten {
namespace {

using namespace test_support;

TEST(CheckBox, ProgramChangeIsShownThenRunsTheHandlerOnlyWhenTheStateChanges) {
  TCheckBox box;
  std::string log;
  box.SetRepaint([&] { log += "shown "; });
  box.OnClick = [&] { log += box.Checked() ? "on " : "off "; };
  box.SetChecked(false);
  box.SetChecked(true);
  box.SetChecked(true);
  box.SetEnabled(false);  // disabled: the user is ignored, the program is not
  box.UserClick();
  box.SetChecked(false);
  EXPECT_EQ(log, "shown on shown shown off ");
}

TEST(CheckBox, ErrorInANestedHandlerEndsEveryHandlerAroundItAndUndoesNothing) {
  TCheckBox outer, inner;
  bool outerFinished = false;
  inner.OnClick = [] { throw std::runtime_error("inner failed"); };
  outer.OnClick = [&] {
    inner.SetChecked(true);
    outerFinished = true;
  };
  EXPECT_THROW(outer.UserClick(), std::runtime_error);
  EXPECT_FALSE(outerFinished);
  EXPECT_TRUE(outer.Checked() && inner.Checked());
}

TEST(RadioGroup, ClampsAndRunsTheHandlerOnARealChangeToAnItemOnly) {
  TRadioGroup group({"DOS", "Windows 95"}, 1);
  std::vector<int> seen;
  group.OnClick = [&] { seen.push_back(group.ItemIndex()); };
  group.SetItemIndex(5);   // clamps to 1, the current item
  group.SetItemIndex(0);   // runs, with the new index in place
  group.SetItemIndex(-3);  // none selected: no handler
  EXPECT_EQ(group.ItemIndex(), -1);
  group.UserClick(1);
  group.UserClick(1);  // clicking the selected item runs nothing
  EXPECT_EQ(seen, (std::vector<int>{0, 1}));
}

TEST(SpinEdit, ValueComesFromTheTextStrictlyAndStepsFromIt) {
  TSpinEdit edit;
  const std::pair<const char*, int32_t> cases[] = {
      {"  -7", -7},      {"$1E", 30},       {"12 ", 0},        {"1-2", 0},       {"abc", 0},
      {"2147483648", 0}, {"$FFFFFFFF", -1}, {"$0000001E", 30}, {"$000000001", 0}};
  for (const auto& [text, value] : cases) {
    edit.UserSetText(text);
    EXPECT_EQ(edit.Value(), value) << text;
    EXPECT_EQ(edit.Text(), text);
  }
  edit.UserStep(+1);
  EXPECT_EQ(edit.Text(), "1");
  edit.SetValue(INT32_MAX);
  edit.UserStep(+1);
  EXPECT_EQ(edit.Value(), INT32_MAX);
  for (char32_t c : std::u32string_view(U"+-09,")) EXPECT_TRUE(edit.AcceptsTypedCharacter(c, U','));
  for (char32_t c : std::u32string_view(U"a $.\r"))
    EXPECT_FALSE(edit.AcceptsTypedCharacter(c, U','));
}

TEST(ComboBox, TextAndIndexAreSeparateAndOnlyTheUserRunsTheHandler) {
  TComboBox box({"Standard", "Protokolliert", "Abgesichert"});
  std::vector<std::string> seen;
  box.OnChange = [&] { seen.push_back(box.Text() + "/" + std::to_string(box.ItemIndex())); };
  box.SetItemIndex(2);
  EXPECT_EQ(box.Text(), "Abgesichert");
  box.SetText("Protokolliert");
  EXPECT_EQ(box.ItemIndex(), 2);
  box.SetItemIndex(7);
  EXPECT_EQ(box.ItemIndex(), -1);
  EXPECT_EQ(box.Text(), "");
  EXPECT_EQ(box.ItemText(-1) + box.ItemText(3), "");
  box.UserChoose(1);
  box.UserEdit("Standard");  // an edit never selects the matching item
  EXPECT_EQ(seen, (std::vector<std::string>{"Protokolliert/1", "Standard/1"}));
}

// The line count follows from the text: an empty line appended to a text without a final break
// adds only that break and no line (a fuzzing finding); appended after one, it is a line.
TEST(Memo, AppendingAnEmptyLineKeepsTextAndLineCountInStep) {
  TMemo memo("A\rB\nC");
  memo.Append("");
  EXPECT_EQ(memo.Text(), "A\r\nB\r\nC\r\n");
  EXPECT_EQ(memo.Count(), 3);
  memo.Append("");
  EXPECT_EQ(memo.Text(), "A\r\nB\r\nC\r\n\r\n");
  EXPECT_EQ(memo.Count(), 4);
}

// A file as large as the buffer's capacity loads; one byte more is refused with the capacity
// error, and the text stays as it was.
TEST(Memo, LoadsUpToItsCapacityAndRefusesMore) {
  TempDrive drive;
  drive.Write("FULL.BAT", std::string(TMemo::kCapacity, 'x'));
  drive.Write("OVER.BAT", std::string(TMemo::kCapacity + 1, 'x'));
  TMemo memo("Memo1");
  EXPECT_EQ(ErrorOf([&] { memo.LoadFromFile("C:\\OVER.BAT"); }), messages::kTextExceedsCapacity);
  EXPECT_EQ(memo.Text(), "Memo1");
  memo.LoadFromFile("C:\\FULL.BAT");
  EXPECT_EQ(memo.Text().size(), TMemo::kCapacity);
}

}  // namespace
}  // namespace startgarten
