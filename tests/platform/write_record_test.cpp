#include "platform/dos/write_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dos/write_set.h"
#include "platform/profile.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "support/error_of.h"
#include "support/temp_drive.h"

namespace startgarten::platform {
namespace {

using namespace test_support;

const std::string kHeader = "Startgarten write record 1\n";

TEST(WriteRecord, KeepsEveryPathAndTakesNothingElse) {
  const std::vector<RecordedFile> files = {
      {'c', "MSDOS.SYS", "SG00ABCD.~00", 1234, 0xFEDCBA9876543210, 0x27},
      {'h', "Win dows/\x84%20\n\tx", "Win dows/SG00ABCD.~01", 0, 0, 0x20}};
  const std::string record = FormatWriteRecord(files);
  EXPECT_EQ(ParseWriteRecord(record), files);
  EXPECT_FALSE(IsCutOffWriteRecord(record));

  // Only a record that stops before its end line, and holds nothing but what a cut leaves, is
  // one that was never complete; anything else of that name is another program's. (An empty one
  // and an executable's are InterruptedCommand's.)
  const struct {
    const char* name;
    std::string text;
    bool cutOff;
  } rows[] = {
      {"half the header", kHeader.substr(0, 9), true},
      {"cut in a file line", record.substr(0, kHeader.size() + 30), true},
      {"cut before the last line break", record.substr(0, record.size() - 1), true},
      {"zeros after the cut", record.substr(0, 40) + std::string(99, '\0'), true},
      {"only zeros", std::string(512, '\0'), true},
      {"text after zeros", record.substr(0, 40) + '\0' + "end\n", false},
      {"a damaged line before the cut", kHeader + "file C 1 1 1 A B\nfile c", false},
      {"a file after the end", record + "file c 1 1 1 A B\n", false},
      {"a later version", "Startgarten write record 2" + record.substr(record.find('\n')), false},
      {"no file", kHeader + "end\n", false},
      {"a capital letter", kHeader + "file C 1 1 1 A B\nend\n", false},
      {"a size that is no number", kHeader + "file c x 1 1 A B\nend\n", false},
      {"no temporary", kHeader + "file c 1 1 1 A\nend\n", false},
      {"a word too many", kHeader + "file c 1 1 1 A B C\nend\n", false},
      {"an escape cut short", kHeader + "file c 1 1 1 A%2 B\nend\n", false},
      {"an escape of no digits", kHeader + "file c 1 1 1 A%zz B\nend\n", false},
  };
  for (const auto& row : rows) {
    EXPECT_FALSE(ParseWriteRecord(row.text)) << row.name;
    EXPECT_EQ(IsCutOffWriteRecord(row.text), row.cutOff) << row.name;
  }
}

// A command that a crash cut off on drive C: the boot file's and start.bat's new versions wait
// beside them. Drive D is a folder of the user's; files of names that a record could point to lie
// on both. A start completes only a record that the write command could have left: anything else
// is reported, nothing is touched, and no command writes while it lies there. A record cut off
// before its end line was never complete: it goes with the temporary files, the old files stand.
constexpr const char* kOldBoot = "[Options]\r\nBootGUI=1\r\n";
constexpr const char* kNewBoot = "[Options]\r\nBootGUI=0\r\n";
constexpr const char* kNewStart = "@echo off\r\nwin\r\n";
const std::vector<std::string> kCommandFiles = {"C:\\MSDOS.SYS", "C:\\AUTOEXEC.BAT",
                                                "C:\\WINDOWS\\start.bat"};

struct InterruptedCommand : TempDrive {
  InterruptedCommand() {
    MapDrive('d');
    for (const char letter : {'c', 'd'}) {
      Write("MSDOS.SYS", kOldBoot, letter);
      Write("SG000001.~00", kNewBoot, letter);
    }
    Write("AUTOEXEC.BAT", "@ECHO OFF\r\n");
    Write("CONFIG.SYS", "FILES=30\r\n");
    Write("EVIL.TXT", kNewBoot);
    Write("SG000001.~40", kNewBoot);
    Write("WINDOWS/start.bat", "old\r\n");
    Write("WINDOWS/sg000001.~a1", kNewStart);  // as an image names it beside "start.bat"
    Write("WINDOWS/SG000001.~00", "evil");
  }
};

RecordedFile Boot(char letter = 'c', std::string path = "MSDOS.SYS",
                  std::string temporary = "SG000001.~00", uint64_t size = 22) {
  return {letter, std::move(path), std::move(temporary), size, Fingerprint(kNewBoot), 0x27};
}

RecordedFile Start() {
  return {'c', "WINDOWS/start.bat", "WINDOWS/sg000001.~a1", 16, Fingerprint(kNewStart), 0x20};
}

TEST(InterruptedCommand, IsCompletedOnlyWhenThisProgramCouldHaveLeftIt) {
  const std::string complete = FormatWriteRecord({Boot(), Start()});
  RecordedFile changedSince = Boot();
  changedSince.fingerprint = Fingerprint("[Options]\r\nBootGUI=2\r\n");
  RecordedFile checkedElsewhere = Boot('c', "MSDOS.SYS", "WINDOWS/SG000001.~00", 4);
  checkedElsewhere.fingerprint = Fingerprint("evil");
  enum class After { kUntouched, kOldStands, kCompleted };
  const struct {
    const char* name;
    std::string record;
    std::string message = messages::kWriteRecordForeign;  // the pattern, "" for none
    After after = After::kUntouched;
  } rows[] = {
      {"another drive", FormatWriteRecord({Boot('d')})},
      {"a file the command never writes", FormatWriteRecord({Boot('c', "CONFIG.SYS")})},
      {"a temporary not ours", FormatWriteRecord({Boot('c', "MSDOS.SYS", "EVIL.TXT")})},
      {"an old version's temporary", FormatWriteRecord({Boot('c', "MSDOS.SYS", "SG000001.~40")})},
      {"checked in another folder than moved", FormatWriteRecord({checkedElsewhere})},
      {"a file twice", FormatWriteRecord({Boot(), Boot()})},
      {"larger than a command writes",
       FormatWriteRecord({Boot('c', "MSDOS.SYS", "SG000001.~00", uint64_t{1} << 30)})},
      {"the largest size", FormatWriteRecord({Boot('c', "MSDOS.SYS", "SG000001.~00", UINT64_MAX)})},
      {"another program's file", "\177ELF garbage"},
      {"a file changed since", FormatWriteRecord({changedSince}), messages::kWriteRecordUnfinished},
      {"empty", "", "", After::kOldStands},
      {"cut off", complete.substr(0, complete.size() - 3), "", After::kOldStands},
      {"complete", complete, "", After::kCompleted},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    InterruptedCommand drive;
    drive.Write(kWriteRecordName, row.record);
    const std::string c = drive.Snapshot('c');
    const std::string d = drive.Snapshot('d');
    const std::string message =
        row.message.empty() ? "" : FormatMessageText(row.message, "C:\\SGRECORD.~~~");
    EXPECT_EQ(ErrorOf([&] { CleanUpInterruptedWrites(kCommandFiles); }), message);
    EXPECT_EQ(drive.Snapshot('d'), d);
    if (row.after == After::kUntouched) {
      EXPECT_EQ(drive.Snapshot('c'), c);
      EXPECT_EQ(ErrorOf([&] {
                  WriteSet writes(kCommandFiles);
                  WriteProfileString("C:\\MSDOS.SYS", "Options", "Logo", "0", "refused");
                  writes.Commit();
                }),
                message);
      continue;
    }
    const bool completed = row.after == After::kCompleted;
    EXPECT_EQ(drive.Entries(), (std::set<std::string>{"AUTOEXEC.BAT", "CONFIG.SYS", "EVIL.TXT",
                                                      "MSDOS.SYS", "WINDOWS"}));
    EXPECT_EQ(drive.Entries("WINDOWS"), std::set<std::string>{"start.bat"});
    EXPECT_EQ(drive.Read("MSDOS.SYS"), completed ? kNewBoot : kOldBoot);
    EXPECT_EQ(drive.Read("WINDOWS/start.bat"), completed ? kNewStart : "old\r\n");
  }
}

// start.bat is put in place first; the boot file cannot be (a folder took its name): the message
// names the file that is new now, and the record stays for the next start.
TEST(InterruptedCommand, ThatStopsHalfwayNamesTheFilesThatAreNewNow) {
  const InterruptedCommand drive;
  std::filesystem::remove(drive.Host("MSDOS.SYS"));
  drive.Write("MSDOS.SYS/IO.SYS", "");
  const std::string record = FormatWriteRecord({Boot(), Start()});
  drive.Write(kWriteRecordName, record);
  EXPECT_EQ(ErrorOf([&] { CleanUpInterruptedWrites(kCommandFiles); }),
            FormatMessageText(messages::kWriteRecordStopped, "C:\\WINDOWS\\start.bat",
                              "C:\\SGRECORD.~~~"));
  EXPECT_EQ(drive.Read("WINDOWS/start.bat"), kNewStart);
  EXPECT_EQ(drive.Read(kWriteRecordName), record);
}

}  // namespace
}  // namespace startgarten::platform
