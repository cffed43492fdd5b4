#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <climits>

namespace startgarten {
namespace {

TEST(NumberText, AcceptsDecimalAndDollarHexadecimal) {
  const std::pair<const char*, int32_t> cases[] = {{"0", 0},
                                                   {"  5", 5},
                                                   {"+7", 7},
                                                   {"-12", -12},
                                                   {"007", 7},
                                                   {"$1E", 30},
                                                   {"$1e", 30},
                                                   {"$000000001", 1},
                                                   {"$7FFFFFFF", INT32_MAX},
                                                   {"$80000000", INT32_MIN},
                                                   {"$FFFFFFFF", -1},
                                                   {"2147483647", INT32_MAX},
                                                   {"-2147483648", INT32_MIN}};
  for (const auto& [text, value] : cases) EXPECT_EQ(TryStrToInt(text), value) << text;
}

TEST(NumberText, RefusesEverythingElse) {
  for (const char* text : {"", " ", "+", "-", "$", "5 ", "\t5", "1-2", "12a", "0x10", "-$10", "$+1",
                           "$100000000", "2147483648", "-2147483649", "1.5", "1,5"}) {
    EXPECT_EQ(TryStrToInt(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(NumberText, WritesPlainDecimal) {
  EXPECT_EQ(IntToStr(-1), "-1");
  EXPECT_EQ(IntToStr(30), "30");
  EXPECT_EQ(IntToStr(INT32_MIN), "-2147483648");
}

}  // namespace
}  // namespace startgarten
