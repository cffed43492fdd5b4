#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "app/controls/form_controls.h"
#include "interlocks/interlocks.h"
#include "platform/file_attributes.h"
#include "tests/platform/temp_drive.h"
#include "tests/support/recording_message_boxes.h"

namespace startgarten::test_support {

// Joins lines with CR LF after each, as Windows 95 writes its boot files.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += "\r\n";
  return text;
}

// A drive C with a boot file that names C as the host drive, a Windows directory, and the
// window's controls with their interlocks wired.
class BootDriveTest : public testing::Test {
 protected:
  static constexpr uint32_t kProtected = 0x27;  // read-only, hidden, system, archive

  BootDriveTest() { WireInterlocks(form); }

  // A boot file whose [Options] section holds these lines, protected as Windows leaves it.
  void WriteBootFile(std::initializer_list<std::string_view> options) {
    std::string text = CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=C", "", "[Options]"});
    for (std::string_view line : options) (text += line) += "\r\n";
    drive.Write("MSDOS.SYS", text);
    drive.Write("WINDOWS/WIN.COM", "");
    Protect();
  }

  void Protect() { platform::SetFileAttributes("c:\\msdos.sys", kProtected); }
  uint32_t BootFileAttributes() const { return platform::GetFileAttributes("c:\\msdos.sys"); }
  std::string BootFile() const { return drive.Read("MSDOS.SYS").value_or("<missing>"); }

  TempDrive drive;
  FormControls form;
  RecordingMessageBoxes boxes;
};

}  // namespace startgarten::test_support
