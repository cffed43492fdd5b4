#include "bootfile/start_scripts.h"

#include "platform/files.h"
#include "platform/windows/cp1252.h"

namespace startgarten {

namespace {
constexpr const char* kActiveCall = "call start.bat";
constexpr const char* kCommentedCall = "rem call start.bat";
constexpr const char* kStartScriptLines[] = {"@echo off", "win", "%winbootdir%\\command\\mode co80",
                                             "call %winbootdir%\\dosstart.bat"};
// The marker's values: the batch file was given the active call, or the commented one.
constexpr int32_t kMarkerActive = 1;
constexpr int32_t kMarkerCommented = 0;
// A missing marker: the batch file has been given neither call yet.
constexpr int32_t kMarkerMissing = -1;

// Whether a line is the active call as DOS reads it: letter case and blanks around it do not
// count.
bool HasActiveCall(const TMemo& lines) {
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string text = lines.Line(i);
    std::string_view line = text;
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) continue;
    line = line.substr(first, line.find_last_not_of(" \t") + 1 - first);
    if (EqualsIgnoreCase(line, kActiveCall)) return true;
  }
  return false;
}
}  // namespace

void MaintainStartScripts(bool prompt, TMemo& lines, const TIniFile& bootFile) {
  if (prompt) bootFile.WriteNumber("OPTIONS", "BOOTGUI", 0);

  lines.LoadFromFile("c:\\autoexec.bat");
  const int32_t marker = bootFile.ReadNumber("OPTIONS", ";PROMPT", kMarkerMissing);
  if (prompt && marker != kMarkerActive) {
    // One call: a batch file that has it already (after a write that the marker does not
    // record, or edited by hand) would start Windows twice.
    if (!HasActiveCall(lines)) lines.Append(kActiveCall);
    lines.DeleteIf(
        [](const std::string& line) { return line.find(kCommentedCall) != std::string::npos; });
  }
  if (!prompt && marker != kMarkerCommented) {
    lines.Append(kCommentedCall);
    lines.DeleteIf([](const std::string& line) { return line.starts_with(kActiveCall); });
  }
  lines.SaveToFile("C:\\autoexec.bat");
  lines.Clear();

  for (const char* line : kStartScriptLines) lines.Append(line);
  lines.SaveToFile(platform::GetWindowsDirectory() + "\\start.bat");
  lines.Clear();

  if (prompt) {
    bootFile.WriteNumber("OPTIONS", ";PROMPT", kMarkerActive);
    bootFile.WriteNumber("OPTIONS", "BOOTGUI", 0);
  } else {
    bootFile.WriteNumber("OPTIONS", ";PROMPT", kMarkerCommented);
  }
}

}  // namespace startgarten
