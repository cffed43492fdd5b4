#include "interlocks/interlocks.h"

#include <gtest/gtest.h>

#include "app/form_controls.h"
#include "support/form_state.h"

namespace startgarten {
namespace {

using namespace test_support;

// One step of the rules, a case of its own: the controls are brought from their design-time
// states to the state before it (arrange, when there is one), then the step names every option
// that it changes.
struct Step {
  const char* name;
  void (*arrange)(OptionControls);
  void (*act)(OptionControls);
  const char* changes;  // as State reads them
};

void PrintTo(const Step& step, std::ostream* out) {
  *out << step.name;
}

const Step kSteps[] = {
    {"SafeModeWarningStaysOffWithoutSafeMode", nullptr,
     [](OptionControls o) { o.safeModeWarning.UserClick(); }, ""},
    {"SafeModeSetsTheBootMenuAndSelectsItsEntry", nullptr,
     [](OptionControls o) { o.safeMode.UserClick(); },
     "safeMode=1 bootMenu=1 bootMenuDefault=2 Abgesichert"},
    {"SafeModeWarningGoesWithSafeMode", [](OptionControls o) { o.safeMode.UserClick(); },
     [](OptionControls o) { o.safeModeWarning.UserClick(); }, "safeModeWarning=1"},
    {"NoBootMenuEndsSafeModeAndItsWarningAndSelectsTheStandardEntry",
     [](OptionControls o) {
       o.safeMode.UserClick();
       o.safeModeWarning.UserClick();
     },
     [](OptionControls o) { o.bootMenu.UserClick(); },
     "bootMenu=0 safeMode=0 safeModeWarning=0 bootMenuDefault=0 Standard"},
    {"DriveSpaceExcludesDoubleSpace", [](OptionControls o) { o.doubleSpace.UserClick(); },
     [](OptionControls o) { o.driveSpace.UserClick(); }, "driveSpace=1 doubleSpace=0"},
    {"DoubleSpaceExcludesDriveSpace", [](OptionControls o) { o.driveSpace.UserClick(); },
     [](OptionControls o) { o.doubleSpace.UserClick(); }, "doubleSpace=1 driveSpace=0"},
    {"DosPromptNeedsWindowsAndExcludesThePreviousDos",
     [](OptionControls o) {
       o.dosPromptAfterExit.SetChecked(false);
       o.previousDos.UserClick();
     },
     [](OptionControls o) { o.dosPromptAfterExit.UserClick(); },
     "dosPromptAfterExit=1 startWindows=1 previousDos=0"},
    {"PreviousDosExcludesWindowsAndTheDosPrompt",
     [](OptionControls o) { o.startWindows.UserClick(); },
     [](OptionControls o) { o.previousDos.UserClick(); },
     "previousDos=1 startWindows=0 dosPromptAfterExit=0"},
    {"WindowsExcludesThePreviousDos",
     [](OptionControls o) {
       o.dosPromptAfterExit.SetChecked(false);
       o.previousDos.UserClick();
     },
     [](OptionControls o) { o.startWindows.UserClick(); }, "startWindows=1 previousDos=0"},
    {"DosByDefaultLocksTheStartChoices", [](OptionControls o) { o.startWindows.UserClick(); },
     [](OptionControls o) { o.defaultSystem.UserClick(kDos); },
     "defaultSystem=0 startWindows=0 disabled previousDos=1 disabled dosPromptAfterExit=0"},
    // The DOS prompt keeps its state.
    {"WindowsByDefaultUnlocksThem", [](OptionControls o) { o.defaultSystem.UserClick(kDos); },
     [](OptionControls o) { o.defaultSystem.UserClick(kWindows95); },
     "defaultSystem=1 startWindows=1 previousDos=0"},
    {"AnEditWithoutASelectedEntryEmptiesTheField", nullptr,
     [](OptionControls o) { o.bootMenuDefault.UserEdit("Prot"); }, ""},
    {"AnEditPutsBackTheSelectedEntry", nullptr,
     [](OptionControls o) {
       o.bootMenuDefault.UserChoose(kLoggedEntry);
       o.bootMenuDefault.UserEdit("Protokolliertx");
     },
     "bootMenuDefault=1 Protokolliert"},
    {"StandardValuesFromDosAndSafeMode",
     [](OptionControls o) {
       o.safeMode.UserClick();
       o.safeModeWarning.UserClick();
       o.network.UserClick();
       o.bootMenuDelay.UserSetText("abc");
       o.defaultSystem.UserClick(kDos);
       o.doubleBuffer.UserClick(kDoubleBufferingAlways);
     },
     ApplyStandardValues,
     "bootMenu=0 functionKeys=1 startWindows=1 network=0 safeMode=0 safeModeWarning=0 "
     "previousDos=0 driveSpace=1 loadTop=1 logo=1 bootMenuDefault=0 Standard bootMenuDelay=30 "
     "bootDelay=2 defaultSystem=1 doubleBuffer=0"},
    // With Windows selected already, a box stays as enabled as it was.
    {"StandardValuesKeepTheEnabledStates",
     [](OptionControls o) {
       ApplyStandardValues(o);
       o.startWindows.SetEnabled(false);
     },
     ApplyStandardValues, ""},
};

class Interlocks : public testing::TestWithParam<Step> {};

TEST_P(Interlocks, StepChangesExactlyTheseOptions) {
  FormControls form;
  const OptionControls options = form.Options();
  ConnectInterlockRules(options);
  if (GetParam().arrange) GetParam().arrange(options);
  const OptionState before = StateOf(options);
  GetParam().act(options);
  EXPECT_EQ(ChangesFrom(before, StateOf(options)), State(GetParam().changes));
}

INSTANTIATE_TEST_SUITE_P(Steps, Interlocks, testing::ValuesIn(kSteps),
                         [](const testing::TestParamInfo<Step>& info) { return info.param.name; });

}  // namespace
}  // namespace startgarten
