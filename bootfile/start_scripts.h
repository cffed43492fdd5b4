#pragma once

#include <string>
#include <vector>

#include "bootfile/ini_file.h"
#include "controls/memo.h"

namespace startgarten {

// Carries out the option of the DOS prompt after Windows ends (prompt), editing the batch files in
// the line buffer lines: the boot loader then stops at DOS, C:\autoexec.bat calls start.bat in the
// Windows directory, which starts Windows and leaves the user at the prompt when it ends. The
// marker key ";PROMPT" in the boot file records which call the batch file was last given, so that
// it is edited only when the option changes.
void MaintainStartScripts(bool prompt, TMemo& lines, const TIniFile& bootFile);

// The DOS paths of the two batch files it writes: C:\autoexec.bat and start.bat in the Windows
// directory as the boot file names it now.
std::vector<std::string> StartScriptFiles();

// Which call C:\autoexec.bat was last given: 1 the active call, 0 the commented one (any other
// number neither), as the marker records it. A boot file without a marker (as Windows 95 leaves
// every drive) records nothing, and the batch file itself tells: 1 when one of its lines begins
// with the active call, the lines that switching the option off removes; 0 when none does or when
// it is missing or cannot be read.
int32_t ReadPromptMarker(const TIniFile& bootFile);

}  // namespace startgarten
