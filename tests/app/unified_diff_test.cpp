// The unified diff of a dry run, where its rules are easy to get wrong: the end of a file without
// a line break, and which changes share a hunk (their contexts of three lines meet or not).
#include "app/unified_diff.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace startgarten {
namespace {

// The lines "1" to "12", each with its LF, with line changed into "x" for each in changed.
std::string Numbered(std::initializer_list<int> changed) {
  std::string text;
  for (int line = 1; line <= 12; ++line)
    text += (std::ranges::find(changed, line) != changed.end() ? "x" : std::to_string(line)) + "\n";
  return text;
}

TEST(UnifiedDiffTest, MarksAMissingLastLineBreakAndJoinsHunksWhoseContextsMeet) {
  const std::string header = "--- a/C:\\f\n+++ b/C:\\f\n",
                    noBreak = "\\ No newline at end of file\n";
  const struct {
    std::string before, after, diff;  // diff without the header
  } cases[] = {
      {"a\r\nb", "a\r\nc", "@@ -1,2 +1,2 @@\n a\r\n-b\n" + noBreak + "+c\n" + noBreak},
      {"a", "a\n", "@@ -1,1 +1,1 @@\n-a\n" + noBreak + "+a\n"},
      {"", "a\n", "@@ -0,0 +1,1 @@\n+a\n"},
      {Numbered({}), Numbered({1, 8}),
       "@@ -1,11 +1,11 @@\n-1\n+x\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+x\n 9\n 10\n 11\n"},
      {Numbered({}), Numbered({1, 9}),
       "@@ -1,4 +1,4 @@\n-1\n+x\n 2\n 3\n 4\n@@ -6,7 +6,7 @@\n 6\n 7\n 8\n-9\n+x\n 10\n 11\n 12\n"},
      {"same\n", "same\n", ""},
  };
  for (const auto& [before, after, diff] : cases)
    EXPECT_EQ(UnifiedDiff("C:\\f", before, after), diff.empty() ? "" : header + diff) << before;
  EXPECT_EQ(UnifiedDiff("C:\\f", std::nullopt, "a\n"),
            "--- /dev/null\n+++ b/C:\\f\n@@ -0,0 +1,1 @@\n+a\n");
}

}  // namespace
}  // namespace startgarten
