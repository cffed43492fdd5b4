#pragma once

#include "controls/form_controls.h"
#include "platform/message_box.h"

namespace startgarten {

// Reads the options of the boot file into the controls in a fixed order. Every real change runs
// the control's handler at once, so the order decides the final states. Throws
// messages::kNotAValidInteger when "BootMenuDefault" is not a number.
void ReadBootOptions(FormControls& form, MessageBoxService& boxes);

// Writes every option from the controls into the boot file, then carries out the DOS-prompt
// option in the batch files.
void WriteBootOptions(FormControls& form, MessageBoxService& boxes);

}  // namespace startgarten
