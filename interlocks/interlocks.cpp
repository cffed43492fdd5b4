#include "interlocks/interlocks.h"

namespace startgarten {

namespace {
constexpr int kSafeModeItem = 2;  // "Abgesichert"
constexpr int kStandardItem = 0;  // "Standard"
constexpr int kDosItem = 0;       // "DOS" in the default-system group
}  // namespace

// Safe mode needs the boot menu.
void SafeModeFollowsBootMenu(FormControls& form) {
  if (!form.CheckBox1.Checked()) form.CheckBox5.SetChecked(false);
}

// Starting Windows excludes starting the previous DOS.
void WindowsExcludesPreviousDos(FormControls& form) {
  if (form.CheckBox3.Checked()) form.CheckBox7.SetChecked(false);
}

void SafeModeSetsBootMenuAndStartType(FormControls& form) {
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
void SafeModeWarningNeedsSafeMode(FormControls& form) {
  if (!form.CheckBox5.Checked()) form.CheckBox6.SetChecked(false);
}

void PreviousDosExcludesWindowsAndPrompt(FormControls& form) {
  if (form.CheckBox7.Checked()) {
    form.CheckBox3.SetChecked(false);
    form.CheckBox12.SetChecked(false);
  }
}

// Only one of the two compression drivers is loaded.
void DblSpaceExcludesDrvSpace(FormControls& form) {
  if (form.CheckBox8.Checked()) form.CheckBox9.SetChecked(false);
}

void DrvSpaceExcludesDblSpace(FormControls& form) {
  if (form.CheckBox9.Checked()) form.CheckBox8.SetChecked(false);
}

// The DOS prompt after Windows exit needs Windows to be started.
void DosPromptNeedsWindows(FormControls& form) {
  if (form.CheckBox12.Checked()) {
    form.CheckBox3.SetChecked(true);
    form.CheckBox7.SetChecked(false);
  }
}

void DefaultSystemLocksStartChoices(FormControls& form) {
  const bool dos = form.RadioGroup1.ItemIndex() == kDosItem;
  form.CheckBox3.SetChecked(!dos);
  form.CheckBox7.SetChecked(dos);
  form.CheckBox3.SetEnabled(!dos);
  form.CheckBox7.SetEnabled(!dos);
}

// The field always shows the selected item: an edit is put back at once.
void StartTypeShowsSelectedItem(FormControls& form) {
  form.ComboBox1.SetText(form.ComboBox1.ItemText(form.ComboBox1.ItemIndex()));
}

void ConnectInterlockRules(FormControls& form) {
  form.CheckBox1.OnClick = [&form] { SafeModeFollowsBootMenu(form); };
  form.CheckBox3.OnClick = [&form] { WindowsExcludesPreviousDos(form); };
  form.CheckBox5.OnClick = [&form] { SafeModeSetsBootMenuAndStartType(form); };
  form.CheckBox6.OnClick = [&form] { SafeModeWarningNeedsSafeMode(form); };
  form.CheckBox7.OnClick = [&form] { PreviousDosExcludesWindowsAndPrompt(form); };
  form.CheckBox8.OnClick = [&form] { DblSpaceExcludesDrvSpace(form); };
  form.CheckBox9.OnClick = [&form] { DrvSpaceExcludesDblSpace(form); };
  form.CheckBox12.OnClick = [&form] { DosPromptNeedsWindows(form); };
  form.RadioGroup1.OnClick = [&form] { DefaultSystemLocksStartChoices(form); };
  form.ComboBox1.OnChange = [&form] { StartTypeShowsSelectedItem(form); };
}

void ApplyStandardValues(FormControls& form) {
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
