#pragma once

#include "controls/form_controls.h"

namespace startgarten {

// The rules by which a change of one option changes others. Each runs as the click (or change)
// handler of its control, whether the user or the program made the change, and acts through
// the ordinary control operations, so one rule can start the next.
void SafeModeFollowsBootMenu(FormControls& form);
void WindowsExcludesPreviousDos(FormControls& form);
void SafeModeSetsBootMenuAndStartType(FormControls& form);
void SafeModeWarningNeedsSafeMode(FormControls& form);
void PreviousDosExcludesWindowsAndPrompt(FormControls& form);
void DblSpaceExcludesDrvSpace(FormControls& form);
void DrvSpaceExcludesDblSpace(FormControls& form);
void DosPromptNeedsWindows(FormControls& form);
void DefaultSystemLocksStartChoices(FormControls& form);
void StartTypeShowsSelectedItem(FormControls& form);

// Attaches the rules above to their controls.
void ConnectInterlockRules(FormControls& form);

// The standard values, applied as programmatic changes in a fixed order; nothing is written.
void ApplyStandardValues(FormControls& form);

}  // namespace startgarten
