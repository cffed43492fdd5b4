#include "bootfile/ini_file.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;
using test_support::TempDrive;

TEST(IniFile, ReadNumberRewritesTheHexPrefixOnlyAfterTwoCharacters) {
  TempDrive drive;
  drive.Write("T.INI", CrLf({"[S]", "a=0x1E", "b=$1E", "c= 5", "d=0x", "e=0X10", "f=-0x10",
                             "g=0xFFFFFFFF", "h=", "i=2147483648", "j=x5", "k=0x000000001"}));
  const TIniFile ini("c:\\t.ini");
  const std::pair<const char*, int32_t> cases[] = {
      {"a", 30}, {"b", 30}, {"c", 5},  {"d", -9}, {"e", 16}, {"f", -9},
      {"g", -1}, {"h", -9}, {"i", -9}, {"j", -9}, {"k", -9}, {"missing", -9}};
  for (const auto& [key, value] : cases) EXPECT_EQ(ini.ReadNumber("s", key, -9), value) << key;
}

TEST(IniFile, FailedWriteNamesTheFile) {
  TempDrive drive;
  const TIniFile ini("Q:\\msdos.sys");
  try {
    ini.WriteText("Options", "BootGUI", "1");
    FAIL() << "the write to a missing drive succeeded";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "Kann nicht nach Q:\\msdos.sys schreiben");
  }
}

}  // namespace
}  // namespace startgarten
