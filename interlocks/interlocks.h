#pragma once

#include "options/option_controls.h"

namespace startgarten {

// The rules by which a change of one option changes others. Each runs as the click (or change)
// handler of its control, whether the user or the program made the change, and acts through
// the ordinary control operations, so one rule can start the next.
void SafeModeFollowsBootMenu(OptionControls options);
void WindowsExcludesPreviousDos(OptionControls options);
void SafeModeSetsBootMenuAndStartType(OptionControls options);
void SafeModeWarningNeedsSafeMode(OptionControls options);
void PreviousDosExcludesWindowsAndPrompt(OptionControls options);
void DblSpaceExcludesDrvSpace(OptionControls options);
void DrvSpaceExcludesDblSpace(OptionControls options);
void DosPromptNeedsWindows(OptionControls options);
void DefaultSystemLocksStartChoices(OptionControls options);
void StartTypeShowsSelectedItem(OptionControls options);

// Attaches the rules above to their controls.
void ConnectInterlockRules(OptionControls options);

// The standard values, applied as programmatic changes in a fixed order; nothing is written.
void ApplyStandardValues(OptionControls options);

}  // namespace startgarten
