#include "interlocks/interlocks.h"

#include <gtest/gtest.h>

namespace startgarten {
namespace {

class InterlocksTest : public testing::Test {
 protected:
  InterlocksTest() { ConnectInterlockRules(form); }
  FormControls form;
};

TEST_F(InterlocksTest, SafeModeNeedsTheBootMenuAndSelectsItsEntry) {
  form.CheckBox5.UserClick();
  EXPECT_TRUE(form.CheckBox1.Checked());
  EXPECT_EQ(form.ComboBox1.ItemIndex(), 2);
  EXPECT_EQ(form.ComboBox1.Text(), "Abgesichert");

  form.CheckBox6.UserClick();
  EXPECT_TRUE(form.CheckBox6.Checked());
  form.CheckBox1.UserClick();  // no boot menu: safe mode and its warning go too
  EXPECT_FALSE(form.CheckBox5.Checked());
  EXPECT_FALSE(form.CheckBox6.Checked());
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_EQ(form.ComboBox1.ItemIndex(), 0);
  EXPECT_EQ(form.ComboBox1.Text(), "Standard");
}

TEST_F(InterlocksTest, SafeModeWarningStaysOffWithoutSafeMode) {
  form.CheckBox6.UserClick();
  EXPECT_FALSE(form.CheckBox6.Checked());
}

TEST_F(InterlocksTest, OnlyOneCompressionDriver) {
  form.CheckBox8.UserClick();
  form.CheckBox9.UserClick();
  EXPECT_FALSE(form.CheckBox8.Checked());
  form.CheckBox8.UserClick();
  EXPECT_FALSE(form.CheckBox9.Checked());
}

TEST_F(InterlocksTest, DosPromptAfterExitNeedsWindowsAndExcludesPreviousDos) {
  form.CheckBox12.SetChecked(false);
  form.CheckBox7.UserClick();
  form.CheckBox12.UserClick();
  EXPECT_TRUE(form.CheckBox3.Checked());
  EXPECT_FALSE(form.CheckBox7.Checked());

  form.CheckBox7.UserClick();  // previous DOS: neither Windows nor the prompt after it
  EXPECT_FALSE(form.CheckBox3.Checked());
  EXPECT_FALSE(form.CheckBox12.Checked());
}

TEST_F(InterlocksTest, SelectingDosLocksTheStartChoices) {
  form.RadioGroup1.UserClick(0);
  EXPECT_FALSE(form.CheckBox3.Checked());
  EXPECT_TRUE(form.CheckBox7.Checked());
  EXPECT_FALSE(form.CheckBox12.Checked());
  EXPECT_FALSE(form.CheckBox3.Enabled());
  EXPECT_FALSE(form.CheckBox7.Enabled());

  form.RadioGroup1.UserClick(1);
  EXPECT_TRUE(form.CheckBox3.Checked());
  EXPECT_FALSE(form.CheckBox7.Checked());
  EXPECT_TRUE(form.CheckBox3.Enabled());
  EXPECT_TRUE(form.CheckBox7.Enabled());
  EXPECT_FALSE(form.CheckBox12.Checked());  // keeps its state
}

TEST_F(InterlocksTest, EditingTheStartTypePutsBackTheSelectedItem) {
  form.ComboBox1.UserEdit("Prot");
  EXPECT_EQ(form.ComboBox1.Text(), "");
  form.ComboBox1.UserChoose(1);
  form.ComboBox1.UserEdit("Protokolliertx");
  EXPECT_EQ(form.ComboBox1.Text(), "Protokolliert");
}

TEST_F(InterlocksTest, StandardValuesFromTheDosState) {
  form.CheckBox5.UserClick();
  form.CheckBox6.UserClick();
  form.CheckBox4.UserClick();
  form.SpinEdit1.UserSetText("abc");
  form.RadioGroup1.UserClick(0);
  form.RadioGroup2.UserClick(2);

  ApplyStandardValues(form);

  const bool expected[] = {false, true,  true, false, false, false,
                           false, false, true, true,  true,  false};
  const TCheckBox* boxes[] = {&form.CheckBox1,  &form.CheckBox2,  &form.CheckBox3,
                              &form.CheckBox4,  &form.CheckBox5,  &form.CheckBox6,
                              &form.CheckBox7,  &form.CheckBox8,  &form.CheckBox9,
                              &form.CheckBox10, &form.CheckBox11, &form.CheckBox12};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(boxes[i]->Checked(), expected[i]) << "CheckBox" << i + 1;
  EXPECT_EQ(form.ComboBox1.Text(), "Standard");
  EXPECT_EQ(form.ComboBox1.ItemIndex(), 0);
  EXPECT_EQ(form.SpinEdit1.Text(), "30");
  EXPECT_EQ(form.SpinEdit2.Text(), "2");
  EXPECT_EQ(form.RadioGroup1.ItemIndex(), 1);
  EXPECT_EQ(form.RadioGroup2.ItemIndex(), 0);
  EXPECT_TRUE(form.CheckBox3.Enabled());
  EXPECT_TRUE(form.CheckBox7.Enabled());
}

TEST_F(InterlocksTest, StandardValuesKeepTheEnabledStatesWhenWindowsIsAlreadySelected) {
  form.CheckBox3.SetEnabled(false);
  ApplyStandardValues(form);
  EXPECT_FALSE(form.CheckBox3.Enabled());
}

}  // namespace
}  // namespace startgarten
