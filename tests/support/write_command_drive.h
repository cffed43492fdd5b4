#pragma once

#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include "app/form1.h"
#include "support/boot_drive_fixture.h"

// What the tests of the write command under failures and kills share: killing at random moments,
// the batch file it leaves, and a folder drive on which it changes all three of its files.
namespace startgarten::test_support {

// Runs body in a child process, kills it after a random while and waits for it.
template <typename Body>
void KillWhileRunning(std::mt19937& random, unsigned maxMicroseconds, const Body& body) {
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    body();
    _exit(2);
  }
  std::this_thread::sleep_for(std::chrono::microseconds(random() % maxMicroseconds));
  ASSERT_EQ(kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;
}

// Whether the batch file is whole: lines the write command writes, each with its CR LF, and never
// a second call of start.bat. (A kill between the batch file and the boot file leaves the marker
// behind the batch file; the next write then comments the call out once more, which is harmless.)
inline bool IsWholeBatchFile(const std::optional<std::string>& bytes) {
  if (!bytes || !bytes->starts_with("@ECHO OFF\r\n") || !bytes->ends_with("\r\n")) return false;
  int calls = 0;
  for (size_t at = 11; at < bytes->size();) {
    const size_t end = bytes->find("\r\n", at);
    const std::string line = bytes->substr(at, end - at);
    if (line != "call start.bat" && line != "rem call start.bat") return false;
    calls += line == "call start.bat";
    at = end + 2;
  }
  return calls <= 1;
}

// A drive on which the write command changes all three of its files: the DOS prompt option is
// switched on, so the batch file gets its call and the marker changes, besides the option keys.
// The batch file carries attributes of its own that a rewrite must keep.
class WriteCommandDrive : public BootDriveTest {
 protected:
  // A file's bytes (none when missing), permission bits and extended attributes.
  struct FileState {
    std::optional<std::string> bytes;
    std::filesystem::perms permissions{};
    std::map<std::string, std::string> attributes;
    uint32_t dosAttributes = 0;
    bool operator==(const FileState&) const = default;
  };
  using Files = std::map<std::string, FileState>;

  static constexpr const char* kBootFile = "MSDOS.SYS";
  static constexpr const char* kBatchFile = "AUTOEXEC.BAT";
  static constexpr const char* kStartScript = "WINDOWS/start.bat";

  void Prepare(const std::string& padding = {}) {
    WriteBootFile({"BootMenu=0", "BootMenuDelay=30", ";PROMPT=0", ";x" + padding});
    drive.Write(kBatchFile, CrLf({"@ECHO OFF", "rem call start.bat"}));
    const std::filesystem::path batch = drive.Host(kBatchFile);
    ::setxattr(batch.c_str(), "user.comment", "keep me", 7, 0);
    std::filesystem::permissions(batch, std::filesystem::perms(0640));
    drive.Write(kStartScript, CrLf({"@echo off", "old"}));
  }

  // The changes the command writes: boot menu on for 5 seconds.
  static void ChangeOptions(TForm1& window) {
    window.CheckBox1.UserClick();
    window.SpinEdit1.UserSetText("5");
  }

  Files Now() const {
    Files files;
    for (const char* name : {kBootFile, kBatchFile, kStartScript}) {
      const std::filesystem::path path = drive.Host(name);
      files[name] = {drive.Read(name), std::filesystem::status(path).permissions(),
                     ExtendedAttributes(path),
                     platform::GetFileAttributes(std::string("C:\\") + name)};
    }
    return files;
  }
};

}  // namespace startgarten::test_support
