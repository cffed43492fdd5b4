#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>

#include "options/option_controls.h"

// The options as a script names them (startgarten --show, --set NAME=VALUE): each is one control
// of the window, read and changed as the window shows and changes it.
namespace startgarten {

struct ScriptedOption {
  std::string_view name;
  std::variant<TCheckBox*, TComboBox*, TSpinEdit*, TRadioGroup*> control;
};

// The options with their controls among options, in the order --show prints them: the check boxes
// in the window's order, the boot menu's default entry, the two spin edits, the two radio groups.
std::array<ScriptedOption, 17> ScriptedOptions(OptionControls options);

// One change a script asks for: the option's name as ScriptedOptions spells it, and the value as
// given.
struct OptionSetting {
  std::string_view name;
  std::string value;
};

// Reads "NAME=VALUE" (UTF-8, as given on the command line): the name without regard to case,
// and a value the option takes (0 or 1 for a check box; 1 to the number of entries for the list;
// an item's index, from 0, for a radio group; for a spin edit any text that is a 32-bit integer
// by the rule of its value). Throws Error with the usage message (code page 1252, ending in a line
// break) otherwise.
OptionSetting ParseOptionSetting(std::string_view argument);

// Makes the change as the user's click, choice or entry in the window would, so that the
// interlocks run as there: a check box is clicked when it shows the other state. Returns false,
// changing nothing, when the window shows the control disabled.
bool ApplyOptionSetting(OptionControls options, const OptionSetting& setting);

// One line "NAME=VALUE" for each option, in order: 1 or 0 for a check box, the chosen entry of
// the list from 1 (0 when none is), a spin edit's value, a radio group's chosen item from 0 (-1
// when none is).
std::string ShowOptions(OptionControls options);

}  // namespace startgarten
