#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "controls/form_controls.h"
#include "interlocks/interlocks.h"
#include "platform/files.h"
#include "support/temp_drive.h"
#include "support/recording_message_boxes.h"

namespace startgarten::test_support {

// Joins lines with CR LF after each, as Windows 95 writes its boot files.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += "\r\n";
  return text;
}

// CheckBox1 to CheckBox12 in order.
inline std::array<TCheckBox*, 12> CheckBoxes(FormControls& form) {
  return {&form.CheckBox1, &form.CheckBox2,  &form.CheckBox3,  &form.CheckBox4,
          &form.CheckBox5, &form.CheckBox6,  &form.CheckBox7,  &form.CheckBox8,
          &form.CheckBox9, &form.CheckBox10, &form.CheckBox11, &form.CheckBox12};
}

// The checked states of CheckBox1 to CheckBox12 as a string of 0 and 1, for compact expectations.
inline std::string CheckedStates(FormControls& form) {
  std::string states;
  for (const TCheckBox* box : CheckBoxes(form)) states += box->Checked() ? '1' : '0';
  return states;
}

// A drive C with a boot file that names C as the host drive, a Windows directory, and the
// window's controls with their interlocks wired.
class BootDriveTest : public testing::Test {
 protected:
  static constexpr uint32_t kProtected = 0x27;  // read-only, hidden, system, archive

  BootDriveTest() { ConnectInterlockRules(form); }

  // A boot file whose [Options] section holds these lines, protected as Windows leaves it.
  void WriteBootFile(std::initializer_list<std::string_view> options) {
    std::string text = CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=C", "", "[Options]"});
    for (std::string_view line : options) (text += line) += "\r\n";
    drive.Write("MSDOS.SYS", text);
    drive.Write("WINDOWS/WIN.COM", "");
    Protect();
  }

  void Protect() { drive.Protect("MSDOS.SYS"); }
  uint32_t BootFileAttributes() const { return platform::GetFileAttributes("c:\\msdos.sys"); }
  std::string BootFile() const { return drive.Read("MSDOS.SYS").value_or("<missing>"); }

  TempDrive drive;
  FormControls form;
  RecordingMessageBoxes boxes;
};

}  // namespace startgarten::test_support
