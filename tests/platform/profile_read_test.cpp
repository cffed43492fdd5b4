#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "tests/platform/temp_drive.h"

namespace startgarten::platform {
namespace {

using test_support::TempDrive;

class ProfileRead : public ::testing::Test {
 protected:
  // Reads a key of a file holding text, with the buffer of the profile accessor.
  std::string Read(std::string_view text, std::string_view section, std::string_view key,
                   size_t bufferSize = 1024) {
    drive_.Write("MSDOS.SYS", text);
    return ReadProfileString("c:\\msdos.sys", section, key, "<default>", bufferSize);
  }

  TempDrive drive_;
};

TEST_F(ProfileRead, NamesMatchWithoutCaseAndNamesAndValuesAreTrimmed) {
  const std::string text =
      "[Paths]\r\nWinDir=C:\\WINDOWS\r\n \t[ Options ] \t\r\n \tBootGUI \t=\t 1 \t\r\n"
      "Network=a=b\r\n[Gr\xF6\xDF"
      "e]\r\n\xC4nderung=ja\r\n";
  EXPECT_EQ(Read(text, "PATHS", "windir"), "C:\\WINDOWS");
  EXPECT_EQ(Read(text, "options", "BOOTGUI"), "1");
  EXPECT_EQ(Read(text, " Options\t", " BootGUI "), "1");
  EXPECT_EQ(Read(text, "Options", "Network"), "a=b");  // split at the first "="
  EXPECT_EQ(Read(text,
                 "GR\xD6\xDF"
                 "E",
                 "\xE4NDERUNG"),
            "ja");
  EXPECT_EQ(Read(text, "Paths", "BootGUI"), "<default>");
}

TEST_F(ProfileRead, OneMatchingPairOfQuotesIsRemoved) {
  const std::string text =
      "[A]\nd=\"a b\"\ns='x'\nmixed=\"x'\nlone=\"\nempty=\"\"\ntwice=\"\"x\"\"\ninner=a\"b\"\n";
  EXPECT_EQ(Read(text, "A", "d"), "a b");
  EXPECT_EQ(Read(text, "A", "s"), "x");
  EXPECT_EQ(Read(text, "A", "mixed"), "\"x'");
  EXPECT_EQ(Read(text, "A", "lone"), "\"");
  EXPECT_EQ(Read(text, "A", "empty"), "");
  EXPECT_EQ(Read(text, "A", "twice"), "\"x\"");
  EXPECT_EQ(Read(text, "A", "inner"), "a\"b\"");
}

TEST_F(ProfileRead, FirstMatchingSectionAndFirstMatchingKeyCount) {
  const std::string text = "k=0\n[A]\nk=1\nK=2\n[B]\nj=5\n[a]\nk=3\nj=4\n";
  EXPECT_EQ(Read(text, "A", "k"), "1");
  EXPECT_EQ(Read(text, "A", "j"), "<default>");  // only in the second [A]
  EXPECT_EQ(Read(text, "", "k"), "<default>");   // lines before any section belong to none
}

TEST_F(ProfileRead, LineWithoutEqualsSignHasNoValueAndHidesLaterLines) {
  EXPECT_EQ(Read("[A]\nk\nk=2\n", "A", "k"), "<default>");
  EXPECT_EQ(Read("[A]\nk=\n", "A", "k"), "");
  EXPECT_EQ(Read("[A]\n\n  \nk=1", "A", ""), "<default>");
}

TEST_F(ProfileRead, LinesEndAtCrLfOrLfOrCr) {
  const std::string text = "[A]\rk=1\r\nj=2\nl=3\r\r\n\rm=4";
  EXPECT_EQ(Read(text, "A", "k"), "1");
  EXPECT_EQ(Read(text, "A", "j"), "2");
  EXPECT_EQ(Read(text, "A", "l"), "3");
  EXPECT_EQ(Read(text, "A", "m"), "4");  // no final line break
}

TEST_F(ProfileRead, SectionNameRunsToTheLastClosingBracket) {
  EXPECT_EQ(Read("[Paths]junk\nk=1\n", "Paths", "k"), "1");
  EXPECT_EQ(Read("[Paths] ]\nk=1\n", "Paths]", "k"), "1");
  EXPECT_EQ(Read("[Paths] ]\nk=1\n", "Paths", "k"), "<default>");
  EXPECT_EQ(Read("[A]\n[B\nk=1\n", "A", "k"), "1");  // "[B" without "]" is no section line
  EXPECT_EQ(Read("[A]\n[B\nk=1\n", "A", "[B"), "<default>");
}

TEST_F(ProfileRead, OnlyABracketThatBeginsALineOpensASection) {
  EXPECT_EQ(Read("k=[A]\n[B]\nk=0\n", "A", "k"), "<default>");
  EXPECT_EQ(Read("v=[A] [A]\n;[A]\nk=1\n[A]\nk=2\n", "A", "k"), "2");
  EXPECT_EQ(Read("x=1\r \t[A]\rk=3", "A", "k"), "3");
  EXPECT_EQ(Read("\xA0[A]\nk=4\n", "A", "k"), "<default>");  // only blanks and tabs are trimmed
  EXPECT_EQ(Read("[A]\nv=[B]\nk=5\n[B]\nk=6\n", "A", "k"), "5");
}

TEST_F(ProfileRead, SemicolonStartsAnOrdinaryName) {
  const std::string text =
      "[Options]\r\nBootGUI=1\r\n;BootFailSafe=1\r\n;PROMPT=0\r\n"
      ";The following lines are required for compatibility with other programs.\r\n"
      ";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxa\r\n";
  EXPECT_EQ(Read(text, "OPTIONS", ";BootFailSafe"), "1");
  EXPECT_EQ(Read(text, "OPTIONS", ";prompt"), "0");
  EXPECT_EQ(Read(text, "OPTIONS", "PROMPT"), "<default>");
}

TEST_F(ProfileRead, ResultIsCutLikeACBuffer) {
  const std::string text =
      "[A]\nlong=" + std::string(1030, 'v') + "\nnul=ab" + std::string(1, '\0') + "cd\n";
  EXPECT_EQ(Read(text, "A", "long"), std::string(1023, 'v'));
  EXPECT_EQ(Read(text, "A", "long", 5), "vvvv");
  EXPECT_EQ(Read(text, "A", "long", 1), "");
  EXPECT_EQ(Read(text, "A", "nul"), "ab");
  EXPECT_EQ(Read(text, "A", "missing", 4), "<de");
}

TEST_F(ProfileRead, DefaultWhenThereIsNoFileToRead) {
  EXPECT_EQ(ReadProfileString("c:\\msdos.sys", "A", "k", "dflt", 1024), "dflt");
  EXPECT_EQ(ReadProfileString("c:\\none\\msdos.sys", "A", "k", "dflt", 1024), "dflt");
  EXPECT_EQ(ReadProfileString("q:\\msdos.sys", "A", "k", "dflt", 1024), "dflt");
  drive_.Write("DIR/x", "[A]\nk=1\n");
  EXPECT_EQ(ReadProfileString("c:\\dir", "A", "k", "dflt", 1024), "dflt");
}

}  // namespace
}  // namespace startgarten::platform
