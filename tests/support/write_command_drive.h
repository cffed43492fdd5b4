#pragma once

#include <sys/xattr.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "app/form1.h"
#include "support/boot_drive_fixture.h"

namespace startgarten::test_support {

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

  void Prepare(std::string padding = {}) {
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
