#include "platform/drives/image/mtools_listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

// The text between the image volume and mtools: names written so that mtools takes them
// literally, and its listings read back, as mtools 4 prints them with the image volume's settings
// (UTF-8 names, 24-hour clock, ISO dates).
namespace startgarten::platform::mtools_text {
namespace {

TEST(MtoolsText, NamesArePassedLiterallyAndAsPatternsThatMatchNoFolder) {
  EXPECT_EQ(VolumePath({"WINDOWS", "a[1]"}, "*"), "::/WINDOWS/a[[]1]/*");
  EXPECT_EQ(VolumePath({}, ""), "::/");
  const std::pair<const char*, std::optional<std::string>> fileOnly[] = {
      {"MSDOS.SYS", "[M]SDOS.SYS"},
      {"]a[", "][a][[]"},
      {"\xC3\x9Cl", "[\xC3\x9C]l"},  // a whole UTF-8 character in the class
      {"]]", std::nullopt},
      {"]\xC3", std::nullopt}};  // a character cut short
  for (const auto& [name, pattern] : fileOnly) EXPECT_EQ(FileOnly(name), pattern) << name;
}

// A listing as read back: each entry's fields, or "none" when it is refused.
template <typename Parse>
std::string Read(Parse parse, std::string_view text) {
  const auto lines = parse(text);
  if (!lines) return "none";
  std::string read;
  for (const auto& line : *lines) {
    if constexpr (requires { line.attributes; }) {
      read += std::to_string(line.attributes) + " " + line.name + "|";
    } else {
      read += line.shortName + " " + line.longName + " " + std::to_string(line.firstCluster) + "|";
    }
  }
  return read;
}

// Real listings, with long names, names in UTF-8 and the entries "." and ".."; a last line
// without its line break is output cut short and left out; anything else is refused.
TEST(MtoolsText, ListingsAreReadAsMtoolsPrintsThemAndNothingElse) {
  const std::pair<std::string, std::string> attributeListings[] = {
      {"ASHR ::/MSDOS.SYS\nA ::/Long File Name.txt\nD ::/WINDOWS\nA ::/M\xC3\xBCll.txt\n",
       "39 MSDOS.SYS|32 Long File Name.txt|16 WINDOWS|32 M\xC3\xBCll.txt|"},
      {"D ::/WINDOWS/.\nD ::/WINDOWS/..\nA ::/WINDOWS/a[1].txt\nA ::/WINDOWS/cut", "32 a[1].txt|"},
      {"", ""},
      {"A ::/WINDOWS/\n", "none"},
      {"X ::/a\n", "none"},
      {"A ::a\n", "none"},
      {"A ::/a\nb\n", "none"}};  // a name with a line break
  const char* root =
      " Volume in drive : has no label\n Volume Serial Number is 2275-D82C\nDirectory for ::/\n\n"
      "MSDOS    SYS         3 2026-12-07  16:43  MSDOS    2 \n"
      "LONGFI~1 TXT         2 2026-12-07  16:43  LONGFI~1 3  Long File Name.txt\n"
      "WINDOWS      <DIR>     2026-12-07  16:43  WINDOWS  4 \n"
      "M\xC3\x9CLLDA~1 TXT         2 2026-12-07  16:43  M\xC3\x9CLLDA~1 6  M\xC3\xBCll Datei.txt\n"
      "        4 files                   5 bytes\n";
  const std::pair<std::string, std::string> clusterListings[] = {
      {root,
       "MSDOS.SYS  2|LONGFI~1.TXT Long File Name.txt 3|WINDOWS  4|"
       "M\xC3\x9CLLDA~1.TXT M\xC3\xBCll Datei.txt 6|"},
      {".            <DIR>     2026-12-07  16:43  .        4 \n"
       "..           <DIR>     2026-12-07  16:43  ..       0 \n"
       "A_1_~1   TXT         2 2026-12-07  16:43  A_1_~1   5  a[1].txt\n"
       "CUT      TXT         2 2026-12-07",
       "A_1_~1.TXT a[1].txt 5|"},
      {"MSDOS    SYS         x 2026-12-07  16:43  MSDOS    2 \n", "none"},
      {"MSDOS    SYS         3 2026-12-07  16:43  MSDOS    4294967296 \n", "none"},
      {"MSDOS\n", "none"}};
  const char* seeds = std::getenv("STARTGARTEN_MTOOLS_SEEDS");  // for the fuzz target
  int seed = 0;
  for (const auto& [text, read] : attributeListings) {
    EXPECT_EQ(Read(ParseAttributeListing, text), read) << text;
    if (seeds) std::ofstream(std::filesystem::path(seeds) / std::to_string(++seed)) << text;
  }
  for (const auto& [text, read] : clusterListings) {
    EXPECT_EQ(Read(ParseClusterListing, text), read) << text;
    if (seeds) std::ofstream(std::filesystem::path(seeds) / std::to_string(++seed)) << text;
  }
}

}  // namespace
}  // namespace startgarten::platform::mtools_text
