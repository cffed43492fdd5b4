#include "platform/dos/write_record.h"

#include <gtest/gtest.h>

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

using test_support::TempDrive;

TEST(WriteRecord, KeepsEveryPathAndTakesNothingElse) {
  const std::vector<RecordedFile> files = {
      {'c', "MSDOS.SYS", "SG00ABCD.~00", 1234, 0xFEDCBA9876543210, 0x27},
      {'h', "Win dows/\x84%20\n\tx", "Win dows/SG00ABCD.~01", 0, 0, 0x20}};
  const std::string record = FormatWriteRecord(files);
  EXPECT_EQ(ParseWriteRecord(record), files);

  for (const std::string& text : {
           std::string(),
           record.substr(0, record.size() - 1),                              // no last line break
           record + "file c 1 1 1 A B\n",                                    // a file after the end
           "Startgarten write record 2" + record.substr(record.find('\n')),  // a later version
           std::string("Startgarten write record 1\nend\n"),                 // no file
           "Startgarten write record 1\n" + std::string("file C 1 1 1 A B\n") + "end\n",
           "Startgarten write record 1\n" + std::string("file c x 1 1 A B\n") + "end\n",
           "Startgarten write record 1\n" + std::string("file c 1 1 1 A\n") + "end\n",
           "Startgarten write record 1\n" + std::string("file c 1 1 1 A B C\n") + "end\n",
           "Startgarten write record 1\n" + std::string("file c 1 1 1 A%2 B\n") + "end\n",
           "Startgarten write record 1\n" + std::string("file c 1 1 1 A%zz B\n") + "end\n",
       }) {
    EXPECT_FALSE(ParseWriteRecord(text)) << text;
  }
}

// A command that a crash cut off, on drive C: the boot file's new version waiting beside it, the
// batch file's new one in place. A record that is not ours, or that names a file whose new version
// is gone (a later program changed it), is reported at the next start; nothing is touched, and no
// command writes while it lies there.
TEST(InterruptedCommand, ThatCannotBeCompletedIsReportedAndStopsWriting) {
  TempDrive drive;
  const std::string old = "[Options]\r\nBootGUI=1\r\n";
  drive.Write("MSDOS.SYS", old);
  drive.Write("SG000001.~00", "[Options]\r\nBootGUI=0\r\n");
  drive.Write("AUTOEXEC.BAT", "@ECHO ON\r\n");
  drive.Write("SG000001.~41", "@ECHO OFF\r\n");  // its old version
  const std::vector<RecordedFile> changedSince = {
      {'c', "MSDOS.SYS", "SG000001.~00", 22, Fingerprint("[Options]\r\nBootGUI=2\r\n"), 0x20},
      {'c', "AUTOEXEC.BAT", "SG000001.~01", 10, Fingerprint("@ECHO ON\r\n"), 0x20}};
  for (const auto& [text, pattern] :
       {std::pair{std::string("\x7F"
                              "ELF garbage"),
                  messages::kWriteRecordForeign},
        std::pair{FormatWriteRecord(changedSince), messages::kWriteRecordUnfinished}}) {
    drive.Write(kWriteRecordName, text);
    const std::string message = FormatMessageText(pattern, "C:\\SGRECORD.~~~");
    const std::set<std::string> entries = drive.Entries();
    EXPECT_EQ(test_support::ErrorOf([] { RemoveTemporaryFiles({"C:\\"}); }), message);  // a start
    EXPECT_EQ(test_support::ErrorOf([] {
                WriteSet writes;
                WriteProfileString("C:\\MSDOS.SYS", "Options", "Logo", "0", "refused");
                writes.Commit();
              }),
              message);
    EXPECT_EQ(drive.Entries(), entries);
    EXPECT_EQ(drive.Read("MSDOS.SYS"), old);
    EXPECT_EQ(drive.Read(kWriteRecordName), text);
  }
}

}  // namespace
}  // namespace startgarten::platform
