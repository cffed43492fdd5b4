#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>

#include "app/form_controls.h"
#include "interlocks/interlocks.h"
#include "platform/files.h"
#include "support/error_of.h"
#include "support/form_state.h"
#include "support/recording_message_boxes.h"
#include "support/temp_drive.h"

namespace startgarten::test_support {

// Joins lines with CR LF after each, as Windows 95 writes its boot files.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) (text += line) += "\r\n";
  return text;
}

// A boot file that names the host drive and C:\WINDOWS, its [Options] section holding these lines.
inline std::string BootFileText(std::initializer_list<std::string_view> options,
                                std::string_view host = "C") {
  return CrLf({"[Paths]", "WinDir=C:\\WINDOWS", "HostWinBootDrv=" + std::string(host), "",
               "[Options]"}) +
         CrLf(options);
}

// A boot file that names the host drive C and goes on in random bytes of this size, from this
// seed, in which no section can start.
inline std::string GarbledBootFile(size_t size, unsigned seed) {
  std::string garbled(size, '\0');
  std::mt19937 random(seed);
  for (char& c : garbled) c = static_cast<char>(random());
  std::replace(garbled.begin(), garbled.end(), '[', ']');
  return CrLf({"[Paths]", "HostWinBootDrv=C"}) + garbled;
}

// The errors of a file that cannot be opened (\366: o umlaut) or created.
inline std::string CannotOpen(std::string_view path) {
  return "Kann Datei " + std::string(path) + " nicht \366ffnen";
}
inline std::string CannotCreate(std::string_view path) {
  return "Kann Datei " + std::string(path) + " nicht erstellen";
}

// A boot file whose [Options] section holds these lines, with a Windows directory, protected as
// Windows leaves it.
inline void WriteBootFile(const TempDrive& on, std::initializer_list<std::string_view> options) {
  on.Write("MSDOS.SYS", BootFileText(options));
  on.Write("WINDOWS/WIN.COM", "");
  on.Protect("MSDOS.SYS");
}

// A drive C with a boot file that names C as the host drive, a Windows directory, and the
// window's controls with their interlocks wired, by their designer names and as options.
class BootDriveTest : public testing::Test {
 protected:
  static constexpr uint32_t kProtected = 0x27;  // read-only, hidden, system, archive

  // drives: where the drive directories go (TempDrive).
  explicit BootDriveTest(const std::filesystem::path& drives = {}) : drive(drives) {
    ConnectInterlockRules(options);
  }

  // A boot file whose [Options] section holds these lines, protected as Windows leaves it.
  void WriteBootFile(std::initializer_list<std::string_view> options) {
    test_support::WriteBootFile(drive, options);
  }

  void Protect() { drive.Protect("MSDOS.SYS"); }
  uint32_t BootFileAttributes() const { return platform::GetFileAttributes("c:\\msdos.sys"); }
  std::string BootFile() const { return drive.Read("MSDOS.SYS").value_or("<missing>"); }

  TempDrive drive;
  FormControls form;
  const OptionControls options = form.Options();
  RecordingMessageBoxes boxes;
};

}  // namespace startgarten::test_support
