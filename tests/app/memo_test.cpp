#include "app/controls/memo.h"

#include <gtest/gtest.h>

namespace startgarten {
namespace {

// Appending follows the text: after a final CR LF the line and a CR LF are added, otherwise a CR
// LF and the line. The line count always follows from the text, so an empty line appended to a
// text without a final break adds only that break, and no line (a fuzzing finding).
TEST(Memo, AppendKeepsTextAndLineCountInStep) {
  TMemo memo("A\rB\nC");
  ASSERT_EQ(memo.Count(), 3);
  memo.Append("");
  EXPECT_EQ(memo.Text(), "A\r\nB\r\nC\r\n");
  EXPECT_EQ(memo.Count(), 3);
  EXPECT_EQ(memo.Line(3), "");
  memo.Append("");
  EXPECT_EQ(memo.Text(), "A\r\nB\r\nC\r\n\r\n");
  EXPECT_EQ(memo.Count(), 4);
  memo.Append("X");
  EXPECT_EQ(memo.Text(), "A\r\nB\r\nC\r\n\r\nX\r\n");
  EXPECT_EQ(memo.Count(), 5);

  TMemo empty;
  empty.Append("");
  EXPECT_EQ(empty.Text(), "\r\n");
  EXPECT_EQ(empty.Count(), 1);
}

}  // namespace
}  // namespace startgarten
