#include "controls/memo.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/messages.h"
#include "support/temp_drive.h"

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

// A file as large as the buffer's capacity loads; one byte more is refused with the capacity
// error, and the text stays as it was.
TEST(Memo, LoadsUpToItsCapacityAndRefusesMore) {
  test_support::TempDrive drive;
  drive.Write("FULL.BAT", std::string(TMemo::kCapacity, 'x'));
  drive.Write("OVER.BAT", std::string(TMemo::kCapacity + 1, 'x'));
  TMemo memo("Memo1");
  try {
    memo.LoadFromFile("C:\\OVER.BAT");
    FAIL() << "a file over the capacity loaded";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), messages::kTextExceedsCapacity);
  }
  EXPECT_EQ(memo.Text(), "Memo1");
  memo.LoadFromFile("C:\\FULL.BAT");
  EXPECT_EQ(memo.Text().size(), TMemo::kCapacity);
}

}  // namespace
}  // namespace startgarten
