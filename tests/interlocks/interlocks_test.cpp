#include "interlocks/interlocks.h"

#include <gtest/gtest.h>

#include "app/form_controls.h"
#include "support/form_state.h"

namespace startgarten {
namespace {

// One step of the rules. The steps run one after the other on the same controls, the first on
// their design-time states, and each names every option that it changes.
struct Step {
  const char* name;
  void (*act)(OptionControls);
  const char* changes;  // as test_support::State reads them
};

const Step kSteps[] = {
    {"AnEditWithoutASelectedEntryEmptiesTheField",
     [](OptionControls o) { o.bootMenuDefault.UserEdit("Prot"); }, ""},
    {"AnEditPutsBackTheSelectedEntry",
     [](OptionControls o) {
       o.bootMenuDefault.UserChoose(kLoggedEntry);
       o.bootMenuDefault.UserEdit("Protokolliertx");
     },
     "bootMenuDefault=1 Protokolliert"},
    {"SafeModeWarningStaysOffWithoutSafeMode",
     [](OptionControls o) { o.safeModeWarning.UserClick(); }, ""},
    {"SafeModeSetsTheBootMenuAndSelectsItsEntry", [](OptionControls o) { o.safeMode.UserClick(); },
     "safeMode=1 bootMenu=1 bootMenuDefault=2 Abgesichert"},
    {"SafeModeWarningGoesWithSafeMode", [](OptionControls o) { o.safeModeWarning.UserClick(); },
     "safeModeWarning=1"},
    {"NoBootMenuEndsSafeModeAndItsWarningAndSelectsTheStandardEntry",
     [](OptionControls o) { o.bootMenu.UserClick(); },
     "bootMenu=0 safeMode=0 safeModeWarning=0 bootMenuDefault=0 Standard"},
    {"DriveSpaceAloneChangesNothingElse", [](OptionControls o) { o.driveSpace.UserClick(); },
     "driveSpace=1"},
    {"DoubleSpaceExcludesDriveSpace", [](OptionControls o) { o.doubleSpace.UserClick(); },
     "doubleSpace=1 driveSpace=0"},
    {"DriveSpaceExcludesDoubleSpace", [](OptionControls o) { o.driveSpace.UserClick(); },
     "driveSpace=1 doubleSpace=0"},
    {"WindowsAloneChangesNothingElse", [](OptionControls o) { o.startWindows.UserClick(); },
     "startWindows=1"},
    {"PreviousDosExcludesWindowsAndTheDosPrompt",
     [](OptionControls o) { o.previousDos.UserClick(); },
     "previousDos=1 startWindows=0 dosPromptAfterExit=0"},
    {"WindowsExcludesThePreviousDos", [](OptionControls o) { o.startWindows.UserClick(); },
     "startWindows=1 previousDos=0"},
    {"PreviousDosExcludesWindowsAgain", [](OptionControls o) { o.previousDos.UserClick(); },
     "previousDos=1 startWindows=0"},
    {"DosPromptNeedsWindowsAndExcludesThePreviousDos",
     [](OptionControls o) { o.dosPromptAfterExit.UserClick(); },
     "dosPromptAfterExit=1 startWindows=1 previousDos=0"},
    {"DosByDefaultLocksTheStartChoices", [](OptionControls o) { o.defaultSystem.UserClick(kDos); },
     "defaultSystem=0 startWindows=0 disabled previousDos=1 disabled dosPromptAfterExit=0"},
    // The DOS prompt keeps its state.
    {"WindowsByDefaultUnlocksThem", [](OptionControls o) { o.defaultSystem.UserClick(kWindows95); },
     "defaultSystem=1 startWindows=1 previousDos=0"},
    {"AwayFromTheStandardValues",
     [](OptionControls o) {
       o.doubleSpace.UserClick();
       o.safeMode.UserClick();
       o.safeModeWarning.UserClick();
       o.network.UserClick();
       o.bootMenuDelay.UserSetText("abc");
       o.defaultSystem.UserClick(kDos);
       o.doubleBuffer.UserClick(kDoubleBufferingAlways);
     },
     "doubleSpace=1 driveSpace=0 safeMode=1 bootMenu=1 bootMenuDefault=2 Abgesichert "
     "safeModeWarning=1 network=1 bootMenuDelay=abc defaultSystem=0 startWindows=0 disabled "
     "previousDos=1 disabled doubleBuffer=2"},
    {"StandardValuesFromDosAndSafeMode", ApplyStandardValues,
     "bootMenu=0 functionKeys=1 startWindows=1 network=0 safeMode=0 safeModeWarning=0 "
     "previousDos=0 doubleSpace=0 driveSpace=1 loadTop=1 logo=1 bootMenuDefault=0 Standard "
     "bootMenuDelay=30 bootDelay=2 defaultSystem=1 doubleBuffer=0"},
    // With Windows selected already, a box stays as enabled as it was.
    {"StartWindowsDisabledByTheProgram", [](OptionControls o) { o.startWindows.SetEnabled(false); },
     "startWindows=1 disabled"},
    {"StandardValuesKeepTheEnabledStates", ApplyStandardValues, ""},
};

TEST(Interlocks, EachStepChangesExactlyItsOptions) {
  FormControls form;
  const OptionControls options = form.Options();
  ConnectInterlockRules(options);
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.name);
    const test_support::OptionState before = test_support::StateOf(options);
    step.act(options);
    EXPECT_EQ(test_support::ChangesFrom(before, test_support::StateOf(options)),
              test_support::State(step.changes));
  }
}

}  // namespace
}  // namespace startgarten
