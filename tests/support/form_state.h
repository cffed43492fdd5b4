#pragma once

#include <map>
#include <sstream>
#include <string>

#include "options/option_controls.h"

namespace startgarten::test_support {

// What the window shows of each option, by the option's name: a check box 1 or 0, with " disabled"
// when it is; a spin edit its text; a radio group its item; the list its entry and the field's
// text ("2 Abgesichert"; "-1" for none and an empty field).
using OptionState = std::map<std::string, std::string>;

// The check boxes, by the name of the option each holds.
inline std::map<std::string, TCheckBox*> CheckBoxes(OptionControls options) {
  return {{"bootMenu", &options.bootMenu},
          {"functionKeys", &options.functionKeys},
          {"startWindows", &options.startWindows},
          {"network", &options.network},
          {"safeMode", &options.safeMode},
          {"safeModeWarning", &options.safeModeWarning},
          {"previousDos", &options.previousDos},
          {"doubleSpace", &options.doubleSpace},
          {"driveSpace", &options.driveSpace},
          {"loadTop", &options.loadTop},
          {"logo", &options.logo},
          {"dosPromptAfterExit", &options.dosPromptAfterExit}};
}

inline OptionState StateOf(OptionControls options) {
  OptionState state;
  for (const auto& [name, box] : CheckBoxes(options))
    state[name] = std::string(box->Checked() ? "1" : "0") + (box->Enabled() ? "" : " disabled");
  const TComboBox& list = options.bootMenuDefault;
  state["bootMenuDefault"] =
      std::to_string(list.ItemIndex()) + (list.Text().empty() ? "" : " " + list.Text());
  state["bootMenuDelay"] = options.bootMenuDelay.Text();
  state["bootDelay"] = options.bootDelay.Text();
  state["defaultSystem"] = std::to_string(options.defaultSystem.ItemIndex());
  state["doubleBuffer"] = std::to_string(options.doubleBuffer.ItemIndex());
  return state;
}

// The options that state shows otherwise than base, as state shows them.
inline OptionState ChangesFrom(const OptionState& base, const OptionState& state) {
  OptionState changes;
  for (const auto& [name, value] : state)
    if (base.at(name) != value) changes[name] = value;
  return changes;
}

// A state written "name=value name=value ...", each value running to the next name.
inline OptionState State(const std::string& text) {
  OptionState state;
  std::istringstream words(text);
  std::string name;
  for (std::string word; words >> word;) {
    if (const size_t equals = word.find('='); equals != std::string::npos) {
      name = word.substr(0, equals);
      state[name] = word.substr(equals + 1);
    } else {
      state.at(name) += " " + word;
    }
  }
  return state;
}

// base with the changes written as State reads them.
inline OptionState With(OptionState base, const std::string& changes) {
  for (const auto& [name, value] : State(changes)) base.at(name) = value;
  return base;
}

// What the window shows at design time, before it reads anything.
inline const OptionState kDesignTime = State(
    "bootMenu=0 functionKeys=0 startWindows=0 network=0 safeMode=0 safeModeWarning=0 "
    "previousDos=0 doubleSpace=0 driveSpace=0 loadTop=0 logo=0 dosPromptAfterExit=1 "
    "bootMenuDefault=-1 bootMenuDelay=0 bootDelay=0 defaultSystem=1 doubleBuffer=1");

// What reading a boot file without options shows, on a drive whose batch file does not call
// start.bat.
inline const OptionState kReadDefaults =
    With(kDesignTime,
         "functionKeys=1 startWindows=1 driveSpace=1 loadTop=1 logo=1 dosPromptAfterExit=0 "
         "bootMenuDefault=0 Standard bootMenuDelay=30 bootDelay=2 doubleBuffer=0");

}  // namespace startgarten::test_support
