#include "bootfile/start_scripts.h"

#include <optional>

#include "platform/files.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/windows_error.h"

namespace startgarten {

namespace {
constexpr const char* kActiveCall = "call start.bat";
constexpr const char* kCommentedCall = "rem call start.bat";
constexpr const char* kStartScriptLines[] = {"@echo off", "win", "%winbootdir%\\command\\mode co80",
                                             "call %winbootdir%\\dosstart.bat"};
constexpr const char* kBatchFile = "c:\\autoexec.bat";
// The batch file as the write names it (in messages about writing it).
constexpr const char* kWrittenBatchFile = "C:\\autoexec.bat";
// The marker's values: the batch file was given the active call, or the commented one.
constexpr int32_t kMarkerActive = 1;
constexpr int32_t kMarkerCommented = 0;

bool BeginsWithActiveCall(const std::string& line) {
  return line.starts_with(kActiveCall);
}

// The marker that the batch file's lines would have been given.
int32_t MarkerOfLines(const TMemo& lines) {
  for (int i = 0; i < lines.Count(); ++i) {
    if (BeginsWithActiveCall(lines.Line(i))) return kMarkerActive;
  }
  return kMarkerCommented;
}

std::optional<int32_t> Marker(const TIniFile& bootFile) {
  return bootFile.ReadNumber("OPTIONS", ";PROMPT");
}

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

std::vector<std::string> StartScriptFiles() {
  return {kWrittenBatchFile, platform::GetWindowsDirectory() + "\\start.bat"};
}

void MaintainStartScripts(bool prompt, TMemo& lines, const TIniFile& bootFile) {
  if (prompt) bootFile.WriteNumber("OPTIONS", "BOOTGUI", 0);

  lines.LoadFromFile(kBatchFile);
  const int32_t marker = Marker(bootFile).value_or(MarkerOfLines(lines));
  if (prompt && marker != kMarkerActive) {
    // One call: a batch file that has it already (after a write that the marker does not
    // record, or edited by hand) would start Windows twice.
    if (!HasActiveCall(lines)) lines.Append(kActiveCall);
    lines.DeleteIf(
        [](const std::string& line) { return line.find(kCommentedCall) != std::string::npos; });
  }
  if (!prompt && marker != kMarkerCommented) {
    lines.Append(kCommentedCall);
    lines.DeleteIf(BeginsWithActiveCall);
  }
  lines.SaveToFile(kWrittenBatchFile);
  lines.Clear();

  for (const char* line : kStartScriptLines) lines.Append(line);
  lines.SaveToFile(StartScriptFiles().back());
  lines.Clear();

  if (prompt) {
    bootFile.WriteNumber("OPTIONS", ";PROMPT", kMarkerActive);
    bootFile.WriteNumber("OPTIONS", "BOOTGUI", 0);
  } else {
    bootFile.WriteNumber("OPTIONS", ";PROMPT", kMarkerCommented);
  }
}

// The batch file is read only where the marker is missing, and its absence is no error: reading
// the options never failed on it.
int32_t ReadPromptMarker(const TIniFile& bootFile) {
  if (const std::optional<int32_t> marker = Marker(bootFile)) return *marker;
  const platform::ReadFileResult file = platform::ReadWholeFile(kBatchFile, TMemo::kCapacity);
  const bool read = file.error == platform::kErrorSuccess && !file.tooLarge;
  return MarkerOfLines(read ? TMemo(file.bytes) : TMemo());
}

}  // namespace startgarten
