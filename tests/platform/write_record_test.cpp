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

// What a start finds of a command that a crash cut off, on drive C.
class InterruptedCommand : public testing::Test {
 protected:
  static constexpr const char* kOld = "[Options]\r\nBootGUI=1\r\n";
  static constexpr const char* kNew = "[Options]\r\nBootGUI=0\r\n";

  // The boot file's new version waiting beside it, the batch file's new one in place.
  void SetUp() override {
    drive.Write("MSDOS.SYS", kOld);
    drive.Write("SG000001.~00", kNew);
    drive.Write("AUTOEXEC.BAT", "@ECHO ON\r\n");
    drive.Write("SG000001.~41", "@ECHO OFF\r\n");  // its old version
    record = {{'c', "MSDOS.SYS", "SG000001.~00", 22, Fingerprint(kNew), 0x20},
              {'c', "AUTOEXEC.BAT", "SG000001.~01", 10, Fingerprint("@ECHO ON\r\n"), 0x20}};
  }

  void WriteRecord(const std::string& text) const { drive.Write(kWriteRecordName, text); }

  // A start: it completes the command, then removes what the command left.
  std::string Start() const {
    return test_support::ErrorOf([] { RemoveTemporaryFiles({"C:\\"}); });
  }

  TempDrive drive;
  std::vector<RecordedFile> record;
};

// A record that is not ours, or that names a file whose new version is gone (a later program
// changed it), is reported; nothing is touched, and no command writes while it lies there.
TEST_F(InterruptedCommand, ThatCannotBeCompletedIsReportedAndStopsWriting) {
  const std::string foreign = FormatMessageText(messages::kWriteRecordForeign, "C:\\SGRECORD.~~~");
  const std::string unfinished =
      FormatMessageText(messages::kWriteRecordUnfinished, "C:\\SGRECORD.~~~");
  record[0].fingerprint ^= 1;
  for (const auto& [text, message] : {std::pair{std::string("\x7F"
                                                            "ELF garbage"),
                                                foreign},
                                      std::pair{FormatWriteRecord(record), unfinished}}) {
    WriteRecord(text);
    const std::set<std::string> entries = drive.Entries();
    EXPECT_EQ(Start(), message);
    EXPECT_EQ(test_support::ErrorOf([] {
                WriteSet writes;
                WriteProfileString("C:\\MSDOS.SYS", "Options", "Logo", "0", "refused");
                writes.Commit();
              }),
              message);
    EXPECT_EQ(drive.Entries(), entries);
    EXPECT_EQ(drive.Read("MSDOS.SYS"), kOld);
    EXPECT_EQ(drive.Read(kWriteRecordName), text);
  }
}

}  // namespace
}  // namespace startgarten::platform
