#include "app/controls/spin_edit.h"

#include <gtest/gtest.h>

#include <climits>
#include <string_view>

namespace startgarten {
namespace {

TEST(SpinEdit, ValueComesFromTheTextStrictlyAndNeverChangesIt) {
  TSpinEdit edit;
  EXPECT_EQ(edit.Text(), "0");
  const std::pair<const char*, int32_t> cases[] = {{"12", 12},
                                                   {"  -7", -7},
                                                   {"+3", 3},
                                                   {"$1E", 30},
                                                   {"12 ", 0},
                                                   {"1-2", 0},
                                                   {"abc", 0},
                                                   {"", 0},
                                                   {"0x10", 0},
                                                   {"2147483648", 0},
                                                   {"-2147483648", INT32_MIN},
                                                   {"$FFFFFFFF", -1}};
  for (const auto& [text, value] : cases) {
    edit.UserSetText(text);
    EXPECT_EQ(edit.Value(), value) << text;
    EXPECT_EQ(edit.Text(), text);
  }
}

TEST(SpinEdit, StepsFromTheCurrentValueWithoutLimits) {
  TSpinEdit edit;
  edit.UserSetText("1-2");
  edit.UserStep(+1);
  EXPECT_EQ(edit.Text(), "1");
  edit.SetValue(-5);
  edit.UserStep(-1);
  EXPECT_EQ(edit.Text(), "-6");
  edit.SetValue(INT32_MAX);
  edit.UserStep(+1);
  EXPECT_EQ(edit.Value(), INT32_MAX);
}

TEST(SpinEdit, TypingAcceptsSignsDigitsAndTheDecimalSeparatorOnly) {
  for (char32_t c : std::u32string_view(U"+-0123456789,"))
    EXPECT_TRUE(TSpinEdit::AcceptsTypedCharacter(c, U',')) << static_cast<int>(c);
  for (char32_t c : std::u32string_view(U"a $.x\r"))
    EXPECT_FALSE(TSpinEdit::AcceptsTypedCharacter(c, U',')) << static_cast<int>(c);
}

}  // namespace
}  // namespace startgarten
