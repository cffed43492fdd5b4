#pragma once

#include <string>

#include "app/form_controls.h"

namespace startgarten::test_support {

// Every control's state in one line, for compact expectations: CheckBox1 to CheckBox12, each 1
// when checked or 0, + or - when disabled; the spin edits' texts; the radio groups' items; the
// combo box's item and text.
inline std::string FormState(const FormControls& form) {
  std::string state;
  for (const TCheckBox* box :
       {&form.CheckBox1, &form.CheckBox2, &form.CheckBox3, &form.CheckBox4, &form.CheckBox5,
        &form.CheckBox6, &form.CheckBox7, &form.CheckBox8, &form.CheckBox9, &form.CheckBox10,
        &form.CheckBox11, &form.CheckBox12}) {
    state += box->Enabled() ? "01"[box->Checked()] : "-+"[box->Checked()];
  }
  for (const std::string& text : {form.SpinEdit1.Text(), form.SpinEdit2.Text()})
    state += " " + text;
  for (int item :
       {form.RadioGroup1.ItemIndex(), form.RadioGroup2.ItemIndex(), form.ComboBox1.ItemIndex()}) {
    state += " " + std::to_string(item);
  }
  return state + " " + form.ComboBox1.Text();
}

}  // namespace startgarten::test_support
