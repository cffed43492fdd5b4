#pragma once

#include <vector>

#include "options/option_controls.h"
#include "platform/dos/write_set.h"
#include "platform/windows/message_box.h"

namespace startgarten {

// Reads the options of the boot file into the controls in a fixed order. Every real change runs
// the control's handler at once, so the order decides the final states. Throws
// messages::kNotAValidInteger, after reading every other key, when "BootMenuDefault" is not a
// number. Throws messages::kCannotOpenFile when the host drive has no boot file.
void ReadBootOptions(OptionControls options, MessageBoxService& boxes);

// Writes every option from the controls into the boot file, then carries out the DOS-prompt
// option in the batch files: the boot file, C:\autoexec.bat and start.bat change together at the
// end, or, when anything fails, none of them.
void WriteBootOptions(OptionControls options, MessageBoxService& boxes);

// What WriteBootOptions would write, worked out as it does, with nothing written: the boot file,
// C:\autoexec.bat and start.bat, each with its bytes now and after. Throws what WriteBootOptions
// throws before it puts a file on the drive; none after the host drive box.
std::vector<platform::StagedChange> PreviewBootOptions(OptionControls options,
                                                       MessageBoxService& boxes);

}  // namespace startgarten
