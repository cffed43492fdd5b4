#include "controls/memo.h"

#include <gtest/gtest.h>

namespace startgarten {
namespace {

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

}  // namespace
}  // namespace startgarten
