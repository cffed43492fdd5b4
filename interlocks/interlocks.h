#pragma once

#include "app/controls/form_controls.h"

namespace startgarten {

// The rules by which a change of one option changes others. Each runs as the click (or change)
// handler of its control, whether the user or the program made the change, and acts through
// the ordinary control operations, so one rule can start the next.
void CheckBox1Click(FormControls& form);
void CheckBox3Click(FormControls& form);
void CheckBox5Click(FormControls& form);
void CheckBox6Click(FormControls& form);
void CheckBox7Click(FormControls& form);
void CheckBox8Click(FormControls& form);
void CheckBox9Click(FormControls& form);
void CheckBox12Click(FormControls& form);
void RadioGroup1Click(FormControls& form);
void ComboBox1Change(FormControls& form);

// Attaches the rules above to their controls.
void WireInterlocks(FormControls& form);

// The standard values, applied as programmatic changes in a fixed order; nothing is written.
void BitBtn2Click(FormControls& form);

}  // namespace startgarten
