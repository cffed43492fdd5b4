#include "interlocks/interlocks.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/form_controls.h"
#include "support/form_state.h"

namespace startgarten {
namespace {

using namespace test_support;

// Does what the words say, in order, as the user does unless told otherwise: a check box's option
// name clicks it, "-name" clears it and "~name" disables it as the program does; "dos" and
// "windows" click the default system, "buffer=N" the double buffering's item N; "entry=N" chooses
// the list's entry N, "field=TEXT" edits its field; "delay=TEXT" types the boot menu's delay;
// "standard" applies the standard values.
void Do(OptionControls o, const std::string& words) {
  const auto boxes = CheckBoxes(o);
  std::istringstream in(words);
  for (std::string word; in >> word;) {
    const std::string value = word.substr(word.find('=') + 1);
    if (word == "dos" || word == "windows") {
      o.defaultSystem.UserClick(word == "dos" ? kDos : kWindows95);
    } else if (word.starts_with("buffer=")) {
      o.doubleBuffer.UserClick(std::stoi(value));
    } else if (word.starts_with("entry=")) {
      o.bootMenuDefault.UserChoose(std::stoi(value));
    } else if (word.starts_with("field=")) {
      o.bootMenuDefault.UserEdit(value);
    } else if (word.starts_with("delay=")) {
      o.bootMenuDelay.UserSetText(value);
    } else if (word == "standard") {
      ApplyStandardValues(o);
    } else if (word[0] == '-' || word[0] == '~') {
      TCheckBox& box = *boxes.at(word.substr(1));
      word[0] == '-' ? box.SetChecked(false) : box.SetEnabled(false);
    } else {
      boxes.at(word)->UserClick();
    }
  }
}

// One step of the rules, a case of its own: the controls are brought from their design-time
// states to the state before it (arrange), then the step (act) names every option that it changes.
struct Step {
  const char* name;
  const char* arrange;
  const char* act;
  const char* changes;  // as State reads them
};

void PrintTo(const Step& step, std::ostream* out) {
  *out << step.name;
}

const Step kSteps[] = {
    {"SafeModeWarningStaysOffWithoutSafeMode", "", "safeModeWarning", ""},
    {"SafeModeSetsTheBootMenuAndSelectsItsEntry", "", "safeMode",
     "safeMode=1 bootMenu=1 bootMenuDefault=2 Abgesichert"},
    {"SafeModeWarningGoesWithSafeMode", "safeMode", "safeModeWarning", "safeModeWarning=1"},
    {"NoBootMenuEndsSafeModeAndItsWarningAndSelectsTheStandardEntry", "safeMode safeModeWarning",
     "bootMenu", "bootMenu=0 safeMode=0 safeModeWarning=0 bootMenuDefault=0 Standard"},
    {"DriveSpaceExcludesDoubleSpace", "doubleSpace", "driveSpace", "driveSpace=1 doubleSpace=0"},
    {"DoubleSpaceExcludesDriveSpace", "driveSpace", "doubleSpace", "doubleSpace=1 driveSpace=0"},
    {"DosPromptNeedsWindowsAndExcludesThePreviousDos", "-dosPromptAfterExit previousDos",
     "dosPromptAfterExit", "dosPromptAfterExit=1 startWindows=1 previousDos=0"},
    {"PreviousDosExcludesWindowsAndTheDosPrompt", "startWindows", "previousDos",
     "previousDos=1 startWindows=0 dosPromptAfterExit=0"},
    {"WindowsExcludesThePreviousDos", "-dosPromptAfterExit previousDos", "startWindows",
     "startWindows=1 previousDos=0"},
    {"DosByDefaultLocksTheStartChoices", "startWindows", "dos",
     "defaultSystem=0 startWindows=0 disabled previousDos=1 disabled dosPromptAfterExit=0"},
    // The DOS prompt keeps its state.
    {"WindowsByDefaultUnlocksThem", "dos", "windows",
     "defaultSystem=1 startWindows=1 previousDos=0"},
    {"AnEditWithoutASelectedEntryEmptiesTheField", "", "field=Prot", ""},
    {"AnEditPutsBackTheSelectedEntry", "", "entry=1 field=Protokolliertx",
     "bootMenuDefault=1 Protokolliert"},
    {"StandardValuesFromDosAndSafeMode", "safeMode safeModeWarning network delay=abc dos buffer=2",
     "standard",
     "bootMenu=0 functionKeys=1 startWindows=1 network=0 safeMode=0 safeModeWarning=0 "
     "previousDos=0 driveSpace=1 loadTop=1 logo=1 bootMenuDefault=0 Standard bootMenuDelay=30 "
     "bootDelay=2 defaultSystem=1 doubleBuffer=0"},
    // With Windows selected already, a box stays as enabled as it was.
    {"StandardValuesKeepTheEnabledStates", "standard ~startWindows", "standard", ""},
};

class Interlocks : public testing::TestWithParam<Step> {};

TEST_P(Interlocks, StepChangesExactlyTheseOptions) {
  FormControls form;
  const OptionControls options = form.Options();
  ConnectInterlockRules(options);
  Do(options, GetParam().arrange);
  const OptionState before = StateOf(options);
  Do(options, GetParam().act);
  EXPECT_EQ(ChangesFrom(before, StateOf(options)), State(GetParam().changes));
}

INSTANTIATE_TEST_SUITE_P(Steps, Interlocks, testing::ValuesIn(kSteps),
                         [](const testing::TestParamInfo<Step>& info) { return info.param.name; });

}  // namespace
}  // namespace startgarten
