#include "interlocks/interlocks.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/form_state.h"

namespace startgarten {
namespace {

// Each step acts on the window as the step before left it, from the design-time states, and
// names the state it leads to (FormState).
TEST(Interlocks, EveryRuleKeepsTheOptionsConsistent) {
  FormControls form;
  ConnectInterlockRules(form.Options());
  const std::pair<std::function<void()>, std::string> steps[] = {
      // The safe mode warning stays off without safe mode.
      {[&] { form.CheckBox6.UserClick(); }, "000000000001 0 0 1 1 -1 "},
      // Safe mode needs the boot menu and selects its entry; then its warning can be on.
      {[&] { form.CheckBox5.UserClick(); }, "100010000001 0 0 1 1 2 Abgesichert"},
      {[&] { form.CheckBox6.UserClick(); }, "100011000001 0 0 1 1 2 Abgesichert"},
      // No boot menu: safe mode and its warning go too, and the standard entry is selected.
      {[&] { form.CheckBox1.UserClick(); }, "000000000001 0 0 1 1 0 Standard"},
      // Only one compression driver.
      {[&] {
         form.CheckBox8.UserClick();
         form.CheckBox9.UserClick();
       },
       "000000001001 0 0 1 1 0 Standard"},
      {[&] { form.CheckBox8.UserClick(); }, "000000010001 0 0 1 1 0 Standard"},
      // The DOS prompt after Windows needs Windows and excludes the previous DOS, which in turn
      // excludes both.
      {[&] {
         form.CheckBox12.SetChecked(false);
         form.CheckBox7.UserClick();
         form.CheckBox12.UserClick();
       },
       "001000010001 0 0 1 1 0 Standard"},
      {[&] { form.CheckBox7.UserClick(); }, "000000110000 0 0 1 1 0 Standard"},
      // Selecting DOS locks the start choices; Windows unlocks them, the DOS prompt keeps its
      // state.
      {[&] { form.RadioGroup1.UserClick(0); }, "00-000+10000 0 0 0 1 0 Standard"},
      {[&] { form.RadioGroup1.UserClick(1); }, "001000010000 0 0 1 1 0 Standard"},
      // Editing the start type puts back the selected item's text, none without one.
      {[&] {
         form.ComboBox1.SetItemIndex(-1);
         form.ComboBox1.UserEdit("Prot");
       },
       "001000010000 0 0 1 1 -1 "},
      {[&] {
         form.ComboBox1.UserChoose(1);
         form.ComboBox1.UserEdit("Protokolliertx");
       },
       "001000010000 0 0 1 1 1 Protokolliert"},
      // The standard values, from the DOS state.
      {[&] {
         form.CheckBox5.UserClick();
         form.CheckBox6.UserClick();
         form.CheckBox4.UserClick();
         form.SpinEdit1.UserSetText("abc");
         form.RadioGroup1.UserClick(0);
         form.RadioGroup2.UserClick(2);
       },
       "10-111+10000 abc 0 0 2 2 Abgesichert"},
      {[&] { ApplyStandardValues(form.Options()); }, "011000001110 30 2 1 0 0 Standard"},
      // With Windows already selected they keep the enabled states.
      {[&] {
         form.CheckBox3.SetEnabled(false);
         ApplyStandardValues(form.Options());
       },
       "01+000001110 30 2 1 0 0 Standard"},
  };
  for (size_t step = 0; step < std::size(steps); ++step) {
    steps[step].first();
    EXPECT_EQ(test_support::FormState(form), steps[step].second) << "step " << step;
  }
}

}  // namespace
}  // namespace startgarten
