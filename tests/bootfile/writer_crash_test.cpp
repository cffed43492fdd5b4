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
#include "tests/bootfile/boot_drive_fixture.h"

namespace startgarten {
namespace {

using test_support::CrLf;

// Padding that makes each write take a while, so that kills land inside writes.
std::string Padding(std::string_view line) {
  std::string padding;
  while (padding.size() < 48 * 1024) (padding += line) += "\r\n";
  return padding;
}

std::string BootFileWith(int32_t delay) {
  return CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=C", "", "[Options]",
               "BootMenuDelay=" + IntToStr(delay)}) +
         Padding(";xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx");
}

std::string BatchFileWith(int32_t round) {
  return CrLf({"@ECHO OFF", "SET ROUND=" + IntToStr(round)}) + Padding("REM nothing to do");
}

// Writes the boot file's key and the batch file with the numbers first, first + 1, ... until it
// is killed.
[[noreturn]] void WriteUntilKilled(int32_t first) {
  try {
    const TIniFile bootFile("C:\\msdos.sys");
    for (int32_t value = first;; ++value) {
      bootFile.WriteNumber("Options", "BootMenuDelay", value);
      if (platform::CreateWholeFile("C:\\autoexec.bat", BatchFileWith(value)).failure !=
          platform::WriteFailure::kNone) {
        _exit(2);
      }
    }
  } catch (...) {
    _exit(3);
  }
}

// The number a file version was written with, when the file is exactly that version.
template <typename Version>
std::optional<int32_t> VersionOf(const std::optional<std::string>& bytes, std::string_view key,
                                 Version version) {
  if (!bytes) return std::nullopt;
  const size_t at = bytes->find(key);
  if (at == std::string::npos) return std::nullopt;
  const size_t start = at + key.size();
  const std::optional<int32_t> number =
      TryStrToInt(bytes->substr(start, bytes->find('\r', start) - start));
  if (!number || version(*number) != *bytes) return std::nullopt;
  return number;
}

// A writer of the boot file and the batch file is killed at random moments, a few hundred
// times: every file found afterwards is one of the versions written, whole, and a temporary
// file left by a killed write is ignored by reading and removed by the next write.
TEST(WriterCrash, KilledWritersLeaveWholeVersionsAndNoTemporaryFileBehind) {
  test_support::TempDrive drive;
  drive.Write("MSDOS.SYS", BootFileWith(0));
  drive.Write("AUTOEXEC.BAT", BatchFileWith(0));
  const TIniFile bootFile("C:\\msdos.sys");
  std::mt19937 random(20260);
  std::uniform_int_distribution<int> microseconds(0, 15000);

  int32_t bootValue = 0;
  int32_t batchValue = 0;
  int staleFiles = 0;
  for (int32_t round = 1; round <= 300; ++round) {
    const int32_t first = round * 100000;  // the values of one round follow it
    const pid_t writer = fork();
    ASSERT_NE(writer, -1);
    if (writer == 0) WriteUntilKilled(first);
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
    ASSERT_EQ(kill(writer, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself: " << status;

    SCOPED_TRACE("round " + std::to_string(round));
    const std::optional<int32_t> boot =
        VersionOf(drive.Read("MSDOS.SYS"), "BootMenuDelay=", BootFileWith);
    const std::optional<int32_t> batch =
        VersionOf(drive.Read("AUTOEXEC.BAT"), "SET ROUND=", BatchFileWith);
    ASSERT_TRUE(boot) << "the boot file is no version that was written";
    ASSERT_TRUE(batch) << "the batch file is no version that was written";
    // Unchanged, or a value this round's writer wrote.
    EXPECT_TRUE(*boot == bootValue || *boot >= first);
    EXPECT_TRUE(*batch == batchValue || *batch >= first);
    // The batch file follows the key written before it; a round killed after its first key has
    // the batch file of an earlier round.
    EXPECT_TRUE(*batch == *boot || *batch == *boot - 1 || (*boot % 100000 == 0 && *batch < *boot));
    bootValue = *boot;
    batchValue = *batch;

    for (const std::string& name : drive.Entries()) {
      if (name == "MSDOS.SYS" || name == "AUTOEXEC.BAT") continue;
      ++staleFiles;
      ASSERT_TRUE(name == "MSDOS.SYS.startgarten-new" || name == "AUTOEXEC.BAT.startgarten-new")
          << name;
      // Reading passes over it, the next write of its file replaces it.
      EXPECT_EQ(bootFile.ReadNumber("Options", "BootMenuDelay", -1), bootValue);
      if (name == "MSDOS.SYS.startgarten-new") {
        bootFile.WriteNumber("Options", "BootMenuDelay", bootValue);
      } else {
        EXPECT_EQ(platform::CreateWholeFile("C:\\autoexec.bat", BatchFileWith(batchValue)).failure,
                  platform::WriteFailure::kNone);
      }
      EXPECT_EQ(drive.Entries().count(name), 0u);
    }
  }
  std::cout << "[          ] " << staleFiles << " kills left a temporary file\n";
}

}  // namespace
}  // namespace startgarten
