#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <string>

#include "platform/drives/temporary_names.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/windows/error.h"
#include "support/error_of.h"
#include "support/file_system_faults.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace test_support;

// Whether a write of the key got through without an error.
bool WriteKey(std::string_view path, std::string_view section, std::string_view key,
              std::string_view value) {
  return ErrorOf([&] { WriteProfileString(path, section, key, value, "refused"); }).empty();
}

// Mixed line ends, quotes, ';' names, no final line break. Lines before the first section belong
// to none; only a '[' that begins a line (after blanks) opens a section, one in a value does not;
// a section name runs to the last ']' ("[B] ]" is "B]"), "[C" without one is an ordinary line; the
// first matching section and key count, and a key without '=' hides later ones.
TEST(ProfileRead, ReadsAsWindowsDoes) {
  TempDrive drive;
  drive.Write("MSDOS.SYS",
              "k=0\nv=[Q]\n[Paths]junk\r\nWinDir=C:\\W\r\n \t[ Opt ] \t\r \tGui \t=\t 1 \t\r\n"
              "Net=a=b\n;PROMPT=0\n[Q]\nd=\"a b\"\ns='x'\nmixed=\"x'\nlone=\"\n"
              "twice=\"\"x\"\"\n[A]\nbare\nbare=1\nk=1\nK=2\nj=\n[C\nn=7\nlong=" +
                  std::string(1030, 'v') + "\n[a]\nm=5\n[B] ]\r\rm=6\r[Gr\xFC\xDF]\n\xC4nd=ja");
  // section, key, value ("-" for the default)
  const char* cases[][3] = {{" ", "k", "-"},          {"PATHS", "windir", "C:\\W"},
                            {" Opt\t", " Gui ", "1"}, {"opt", "Net", "a=b"},
                            {"Opt", ";prompt", "0"},  {"Opt", "PROMPT", "-"},
                            {"Q", "d", "a b"},        {"Q", "s", "x"},
                            {"Q", "mixed", "\"x'"},   {"Q", "lone", "\""},
                            {"Q", "twice", "\"x\""},  {"A", "bare", "-"},
                            {"a", "k", "1"},          {"A", "n", "7"},
                            {"A", "m", "-"},          {"B]", "m", "6"},
                            {"B", "m", "-"},          {"GR\xDC\xDF", "\xE4ND", "ja"}};
  for (const auto& [section, key, value] : cases)
    EXPECT_EQ(ReadProfileString("c:\\msdos.sys", section, key, "-", 1024), value) << key;
  EXPECT_EQ(ReadProfileString("c:\\msdos.sys", "A", "j", "-", 1024), "");
  EXPECT_EQ(ReadProfileString("c:\\msdos.sys", "A", "long", "", 1024), std::string(1023, 'v'));
  EXPECT_EQ(ReadProfileString("c:\\msdos.sys", "A", "long", "", 5), "vvvv");
  EXPECT_EQ(ReadProfileString("c:\\none.ini", "A", "k", "dflt", 3), "df");
}

// In place, keeping the file's spelling and blanks; in the first of duplicate sections; a new key
// after the last non-blank line of its section; a missing section at the end; new lines with the
// file's first line end (CR LF in an empty file) and its final line break or none.
TEST(ProfileWrite, ChangesOnlyTheKeysLineOrAddsItWithTheFilesLineEnd) {
  TempDrive drive;
  const std::string cases[][5] = {
      {"[Options]\r\nBootGUI = 0 ; x\r\nX=1\r\n[Other]\r\nBootGUI=0", "OPTIONS", "bootgui", "1",
       "[Options]\r\nBootGUI = 1\r\nX=1\r\n[Other]\r\nBootGUI=0"},
      {"[A]\rk=\t 0", "a", "K", "", "[A]\rk=\t "},
      {"[A]\n\tk \n", "A", "k", "1", "[A]\n\tk=1\n"},
      {"[A]\nk=1\n[a]\nk=2\n", "A", "k", "3", "[A]\nk=3\n[a]\nk=2\n"},
      {"[A]\r\na=1\r\n\r\n \t\r\n[B]\r\nb=2\r\n", "a", "k", "v",
       "[A]\r\na=1\r\nk=v\r\n\r\n \t\r\n[B]\r\nb=2\r\n"},
      {"[A]\nk=1\n[A]\nj=2\n", "A", "j", "3", "[A]\nk=1\nj=3\n[A]\nj=2\n"},
      {"[A]\nv=[B]\n\n[B]\n", "A", "k", "v", "[A]\nv=[B]\nk=v\n\n[B]\n"},
      {"[A]\na=1", "A", "k", "v", "[A]\na=1\nk=v"},
      {"[A]", "A", "k", "v", "[A]\r\nk=v"},
      {"[A]\na=1", "B", "k", "v", "[A]\na=1\n[B]\nk=v\n"},
      {"[A]\ra=1\n", "B", "k", "v", "[A]\ra=1\n[B]\rk=v\r"},
      {"", " B ", " k ", "v", "[B]\r\nk=v\r\n"}};
  for (const auto& [before, section, key, value, after] : cases) {
    drive.Write("MSDOS.SYS", before);
    EXPECT_TRUE(WriteKey("c:\\msdos.sys", section, key, value)) << before;
    EXPECT_EQ(drive.Read("MSDOS.SYS"), after) << before;
  }
}

TEST(ProfileWrite, RefusesTextsThatChangeOtherKeysAndFailsWhereWindowsWould) {
  TempDrive drive;
  drive.Write("MSDOS.SYS", "[A]\r\nk=1\r\n");
  const std::string nul(1, '\0');
  const std::string refused[][3] = {
      {"A", " \t", "v"}, {"A", "a=b", "v"},     {"A", " [x", "v"},      {"A", "k", "1\r[B]"},
      {"A", "k", "1\n"}, {"A", "k", "1" + nul}, {"A]\r\n[B", "k", "v"}, {"A", "k\n", "v"}};
  for (const auto& [section, key, value] : refused)
    EXPECT_FALSE(WriteKey("c:\\msdos.sys", section, key, value)) << key << value;
  EXPECT_FALSE(WriteKey("c:\\none\\msdos.sys", "A", "k", "v"));
  EXPECT_FALSE(WriteKey("h:\\msdos.sys", "A", "k", "v"));
  fs::permissions(drive.Host("MSDOS.SYS"), fs::perms(0444));
  EXPECT_FALSE(WriteKey("c:\\msdos.sys", "A", "k", "2"));  // also as root
  EXPECT_EQ(drive.Read("MSDOS.SYS"), "[A]\r\nk=1\r\n");
  EXPECT_EQ(drive.Entries(), std::set<std::string>{"MSDOS.SYS"});
}

// A profile write that creates its file, with each single file operation made to fail in turn
// (the errno of a full disk, a broken disk or a refusal), on a file system with every call, one
// without renameat2's flags and one without links either (where a new file takes its name by a
// plain rename): the file is then missing or whole, whole when the write reports success, with
// only the archive attribute and nothing beside it. A stale temporary file that links outside the
// drive is replaced, never written through. (Files replaced under failures: WriteCommandFaults.)
TEST(ProfileWrite, ANewFileIsWholeOrMissingAfterAFailureAtAnyOperation) {
  TempDrive drive;
  const auto write = [] { return WriteKey("C:\\MSDOS.SYS", "Options", "BootGUI", "1"); };
  const std::string written = "[Options]\r\nBootGUI=1\r\n";
  std::ofstream(drive.Base() / "outside") << "keep";
  fs::create_symlink(drive.Base() / "outside", drive.Host(TemporaryName(0)));
  ASSERT_TRUE(write());
  EXPECT_EQ(fs::file_size(drive.Base() / "outside"), 4u);

  for (const FaultPlan& lacking : {FaultPlan{}, FaultPlan{.noRenameFlags = true},
                                   FaultPlan{.noRenameFlags = true, .noLinks = true}}) {
    unsigned long step = 1;
    for (;; ++step) {
      SCOPED_TRACE("step " + std::to_string(step) + (lacking.noLinks ? " without links" : "") +
                   (lacking.noRenameFlags ? " without rename flags" : ""));
      fs::remove(drive.Host("MSDOS.SYS"));
      FaultPlan plan = lacking;
      plan.failAt = step;
      plan.error = std::array{ENOSPC, EIO, EACCES}[step % 3];
      SetFaultPlan(plan);
      const bool succeeded = write();
      const bool reached = OperationsPerformed() >= step;
      SetFaultPlan({});
      if (!reached) break;
      const std::optional<std::string> now = drive.Read("MSDOS.SYS");
      EXPECT_TRUE(now == written || (!succeeded && !now));
      // What a failed cleanup left, as the next start does.
      CleanUpInterruptedWrites({"C:\\MSDOS.SYS"});
      EXPECT_EQ(drive.Entries().size(), now ? 1u : 0u);
      EXPECT_TRUE(!now || GetFileAttributes("c:\\msdos.sys") == kAttributeArchive);
    }
    EXPECT_GT(step, 20u);
  }
}

}  // namespace
}  // namespace startgarten::platform
