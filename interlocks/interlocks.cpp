#include "interlocks/interlocks.h"

namespace startgarten {

namespace {
constexpr int kSafeModeItem = 2;  // "Abgesichert"
constexpr int kStandardItem = 0;  // "Standard"
constexpr int kDosItem = 0;       // "DOS" in the default-system group
}  // namespace

// Safe mode needs the boot menu.
void CheckBox1Click(FormControls& form) {
  if (!form.CheckBox1.Checked()) form.CheckBox5.SetChecked(false);
}

// Starting Windows excludes starting the previous DOS.
void CheckBox3Click(FormControls& form) {
  if (form.CheckBox3.Checked()) form.CheckBox7.SetChecked(false);
}

void CheckBox5Click(FormControls& form) {
  if (form.CheckBox5.Checked()) {
    form.ComboBox1.SetItemIndex(kSafeModeItem);
    form.CheckBox1.SetChecked(true);
  } else {
    form.CheckBox6.SetChecked(false);
    form.CheckBox1.SetChecked(false);
    form.ComboBox1.SetItemIndex(kStandardItem);
  }
}

// The safe-mode warning makes sense only with safe mode.
void CheckBox6Click(FormControls& form) {
  if (!form.CheckBox5.Checked()) form.CheckBox6.SetChecked(false);
}

void CheckBox7Click(FormControls& form) {
  if (form.CheckBox7.Checked()) {
    form.CheckBox3.SetChecked(false);
    form.CheckBox12.SetChecked(false);
  }
}

// Only one of the two compression drivers is loaded.
void CheckBox8Click(FormControls& form) {
  if (form.CheckBox8.Checked()) form.CheckBox9.SetChecked(false);
}

void CheckBox9Click(FormControls& form) {
  if (form.CheckBox9.Checked()) form.CheckBox8.SetChecked(false);
}

// The DOS prompt after Windows exit needs Windows to be started.
void CheckBox12Click(FormControls& form) {
  if (form.CheckBox12.Checked()) {
    form.CheckBox3.SetChecked(true);
    form.CheckBox7.SetChecked(false);
  }
}

void RadioGroup1Click(FormControls& form) {
  const bool dos = form.RadioGroup1.ItemIndex() == kDosItem;
  form.CheckBox3.SetChecked(!dos);
  form.CheckBox7.SetChecked(dos);
  form.CheckBox3.SetEnabled(!dos);
  form.CheckBox7.SetEnabled(!dos);
}

// The field always shows the selected item: an edit is put back at once.
void ComboBox1Change(FormControls& form) {
  form.ComboBox1.SetText(form.ComboBox1.ItemText(form.ComboBox1.ItemIndex()));
}

void WireInterlocks(FormControls& form) {
  form.CheckBox1.OnClick = [&form] { CheckBox1Click(form); };
  form.CheckBox3.OnClick = [&form] { CheckBox3Click(form); };
  form.CheckBox5.OnClick = [&form] { CheckBox5Click(form); };
  form.CheckBox6.OnClick = [&form] { CheckBox6Click(form); };
  form.CheckBox7.OnClick = [&form] { CheckBox7Click(form); };
  form.CheckBox8.OnClick = [&form] { CheckBox8Click(form); };
  form.CheckBox9.OnClick = [&form] { CheckBox9Click(form); };
  form.CheckBox12.OnClick = [&form] { CheckBox12Click(form); };
  form.RadioGroup1.OnClick = [&form] { RadioGroup1Click(form); };
  form.ComboBox1.OnChange = [&form] { ComboBox1Change(form); };
}

void BitBtn2Click(FormControls& form) {
  form.CheckBox1.SetChecked(false);
  form.CheckBox2.SetChecked(true);
  form.CheckBox3.SetChecked(true);
  form.CheckBox4.SetChecked(false);
  form.CheckBox5.SetChecked(false);
  form.CheckBox6.SetChecked(true);
  form.CheckBox7.SetChecked(false);
  form.CheckBox8.SetChecked(true);
  form.CheckBox9.SetChecked(true);
  form.CheckBox10.SetChecked(true);
  form.CheckBox11.SetChecked(true);
  form.CheckBox12.SetChecked(false);
  form.ComboBox1.SetText("Standard");
  form.ComboBox1.SetItemIndex(kStandardItem);
  form.SpinEdit1.SetValue(30);
  form.SpinEdit2.SetValue(2);
  form.RadioGroup1.SetItemIndex(1);
  form.RadioGroup2.SetItemIndex(0);
}

}  // namespace startgarten
