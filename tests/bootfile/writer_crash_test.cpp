#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "bootfile/ini_file.h"
#include "platform/files.h"
#include "platform/number_text.h"
#include "support/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

// The version n of each file, padded so that each write takes a while and kills land inside.
std::string Version(int32_t n, bool bootFile) {
  std::string text =
      bootFile ? CrLf({"[Paths]", "HostWinBootDrv=C", "[Options]", "BootMenuDelay=" + IntToStr(n)})
               : CrLf({"@ECHO OFF", "SET ROUND=" + IntToStr(n)});
  while (text.size() < 48 * 1024) text += ";padding to make the write take a while\r\n";
  return text;
}

// The number of the version the file holds whole, if it does.
std::optional<int32_t> VersionOf(const std::optional<std::string>& bytes, bool bootFile) {
  const std::string_view key = bootFile ? "BootMenuDelay=" : "SET ROUND=";
  const size_t at = bytes ? bytes->find(key) : std::string::npos;
  if (at == std::string::npos) return std::nullopt;
  const size_t start = at + key.size();
  const auto n = TryStrToInt(bytes->substr(start, bytes->find('\r', start) - start));
  if (!n || Version(*n, bootFile) != *bytes) return std::nullopt;
  return n;
}

// A child writes the boot file's key and then the batch file with the numbers first, first + 1,
// ... and is killed at a random moment, 300 times: every file found afterwards is one of the
// versions written, whole, and a temporary file left by a killed write is passed over by reading
// and removed by the next write of its file.
TEST(WriterCrash, KilledWritersLeaveWholeVersionsAndNoTemporaryFileBehind) {
  test_support::TempDrive drive;
  drive.Write("MSDOS.SYS", Version(0, true));
  drive.Write("AUTOEXEC.BAT", Version(0, false));
  const TIniFile bootFile("C:\\msdos.sys");
  const auto writeBatch = [](int32_t n) {
    return platform::CreateWholeFile("C:\\autoexec.bat", Version(n, false)).failure ==
           platform::WriteFailure::kNone;
  };
  std::mt19937 random(20260);
  int32_t boot = 0, batch = 0, staleFiles = 0;
  for (int32_t first = 100000; first <= 300 * 100000; first += 100000) {
    const pid_t writer = fork();
    ASSERT_NE(writer, -1);
    if (writer == 0) {
      try {
        for (int32_t n = first;; ++n) {
          bootFile.WriteNumber("Options", "BootMenuDelay", n);
          if (!writeBatch(n)) _exit(2);
        }
      } catch (...) {
        _exit(3);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 15000));
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself: " << status;

    SCOPED_TRACE("values from " + std::to_string(first));
    const std::optional<int32_t> nowBoot = VersionOf(drive.Read("MSDOS.SYS"), true);
    const std::optional<int32_t> nowBatch = VersionOf(drive.Read("AUTOEXEC.BAT"), false);
    ASSERT_TRUE(nowBoot && nowBatch) << "a file is no version that was written";
    // Unchanged, or written by this writer. The batch file follows the key written before it; a
    // writer killed after its first key leaves the batch file of an earlier one.
    EXPECT_TRUE(*nowBoot == boot || *nowBoot >= first);
    EXPECT_TRUE(*nowBatch == batch || *nowBatch >= first);
    EXPECT_TRUE(*nowBatch == *nowBoot || *nowBatch == *nowBoot - 1 ||
                (*nowBoot % 100000 == 0 && *nowBatch < *nowBoot));
    boot = *nowBoot;
    batch = *nowBatch;

    for (const std::string& name : drive.Entries()) {
      if (name == "MSDOS.SYS" || name == "AUTOEXEC.BAT") continue;
      ++staleFiles;
      EXPECT_EQ(bootFile.ReadNumber("Options", "BootMenuDelay", -1), boot);
      if (name == "MSDOS.SYS.startgarten-new") {
        bootFile.WriteNumber("Options", "BootMenuDelay", boot);
      } else {
        ASSERT_EQ(name, "AUTOEXEC.BAT.startgarten-new");
        EXPECT_TRUE(writeBatch(batch));
      }
      EXPECT_EQ(drive.Entries().count(name), 0u);
    }
  }
  std::cout << "[          ] " << staleFiles << " kills left a temporary file\n";
}

}  // namespace
}  // namespace startgarten
