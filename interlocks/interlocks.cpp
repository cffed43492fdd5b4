#include "interlocks/interlocks.h"

namespace startgarten {

// Safe mode needs the boot menu.
void SafeModeFollowsBootMenu(OptionControls options) {
  if (!options.bootMenu.Checked()) options.safeMode.SetChecked(false);
}

// Starting Windows excludes starting the previous DOS.
void WindowsExcludesPreviousDos(OptionControls options) {
  if (options.startWindows.Checked()) options.previousDos.SetChecked(false);
}

void SafeModeSetsBootMenuAndStartType(OptionControls options) {
  if (options.safeMode.Checked()) {
    options.bootMenuDefault.SetItemIndex(kSafeModeEntry);
    options.bootMenu.SetChecked(true);
  } else {
    options.safeModeWarning.SetChecked(false);
    options.bootMenu.SetChecked(false);
    options.bootMenuDefault.SetItemIndex(kStandardEntry);
  }
}

// The safe-mode warning makes sense only with safe mode.
void SafeModeWarningNeedsSafeMode(OptionControls options) {
  if (!options.safeMode.Checked()) options.safeModeWarning.SetChecked(false);
}

void PreviousDosExcludesWindowsAndPrompt(OptionControls options) {
  if (options.previousDos.Checked()) {
    options.startWindows.SetChecked(false);
    options.dosPromptAfterExit.SetChecked(false);
  }
}

// Only one of the two compression drivers is loaded.
void DblSpaceExcludesDrvSpace(OptionControls options) {
  if (options.doubleSpace.Checked()) options.driveSpace.SetChecked(false);
}

void DrvSpaceExcludesDblSpace(OptionControls options) {
  if (options.driveSpace.Checked()) options.doubleSpace.SetChecked(false);
}

// The DOS prompt after Windows exit needs Windows to be started.
void DosPromptNeedsWindows(OptionControls options) {
  if (options.dosPromptAfterExit.Checked()) {
    options.startWindows.SetChecked(true);
    options.previousDos.SetChecked(false);
  }
}

void DefaultSystemLocksStartChoices(OptionControls options) {
  const bool dos = options.defaultSystem.ItemIndex() == kDos;
  options.startWindows.SetChecked(!dos);
  options.previousDos.SetChecked(dos);
  options.startWindows.SetEnabled(!dos);
  options.previousDos.SetEnabled(!dos);
}

// The field always shows the selected item: an edit is put back at once.
void StartTypeShowsSelectedItem(OptionControls options) {
  options.bootMenuDefault.SetText(
      options.bootMenuDefault.ItemText(options.bootMenuDefault.ItemIndex()));
}

void ConnectInterlockRules(OptionControls options) {
  options.bootMenu.OnClick = [options] { SafeModeFollowsBootMenu(options); };
  options.startWindows.OnClick = [options] { WindowsExcludesPreviousDos(options); };
  options.safeMode.OnClick = [options] { SafeModeSetsBootMenuAndStartType(options); };
  options.safeModeWarning.OnClick = [options] { SafeModeWarningNeedsSafeMode(options); };
  options.previousDos.OnClick = [options] { PreviousDosExcludesWindowsAndPrompt(options); };
  options.doubleSpace.OnClick = [options] { DblSpaceExcludesDrvSpace(options); };
  options.driveSpace.OnClick = [options] { DrvSpaceExcludesDblSpace(options); };
  options.dosPromptAfterExit.OnClick = [options] { DosPromptNeedsWindows(options); };
  options.defaultSystem.OnClick = [options] { DefaultSystemLocksStartChoices(options); };
  options.bootMenuDefault.OnChange = [options] { StartTypeShowsSelectedItem(options); };
}

void ApplyStandardValues(OptionControls options) {
  options.bootMenu.SetChecked(false);
  options.functionKeys.SetChecked(true);
  options.startWindows.SetChecked(true);
  options.network.SetChecked(false);
  options.safeMode.SetChecked(false);
  options.safeModeWarning.SetChecked(true);
  options.previousDos.SetChecked(false);
  options.doubleSpace.SetChecked(true);
  options.driveSpace.SetChecked(true);
  options.loadTop.SetChecked(true);
  options.logo.SetChecked(true);
  options.dosPromptAfterExit.SetChecked(false);
  options.bootMenuDefault.SetText(options.bootMenuDefault.ItemText(kStandardEntry));
  options.bootMenuDefault.SetItemIndex(kStandardEntry);
  options.bootMenuDelay.SetValue(30);
  options.bootDelay.SetValue(2);
  options.defaultSystem.SetItemIndex(kWindows95);
  options.doubleBuffer.SetItemIndex(kNoDoubleBuffering);
}

}  // namespace startgarten
