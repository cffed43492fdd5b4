#include "bootfile/boot_options.h"

#include <optional>

#include "bootfile/boot_file.h"
#include "bootfile/start_scripts.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/number_text.h"
#include "platform/write_set.h"

namespace startgarten {

namespace {

void ReadCheckBox(const TIniFile& ini, TCheckBox& box, const char* key, int32_t defaultValue) {
  box.SetChecked(ini.ReadNumber("OPTIONS", key, defaultValue) == 1);
}

// The boot menu's default entry names list item n - 1; the list selects it and shows its text,
// so that what a later write stores is what the window shows.
void ReadBootMenuDefault(const TIniFile& ini, TComboBox& box) {
  const std::string text = ini.ReadText("OPTIONS", "BootMenuDefault", "1");
  const std::optional<int32_t> entry = TryStrToInt(text);
  if (!entry) throw Error(FormatMessageText(messages::kNotAValidInteger, text));
  const bool listed = *entry >= 1 && *entry <= static_cast<int32_t>(box.Items().size());
  box.SetItemIndex(listed ? *entry - 1 : -1);
}

// A checked box is written as 1 under "Options", an unchecked one as 0 under "OPTIONS"; the two
// spellings matter only where the key or section is created.
void WriteCheckBox(const TIniFile& ini, const TCheckBox& box, const char* checkedKey,
                   const char* uncheckedKey) {
  if (box.Checked()) {
    ini.WriteNumber("Options", checkedKey, 1);
  } else {
    ini.WriteNumber("OPTIONS", uncheckedKey, 0);
  }
}

void WriteCheckBox(const TIniFile& ini, const TCheckBox& box, const char* key) {
  WriteCheckBox(ini, box, key, key);
}

}  // namespace

void ReadBootOptions(FormControls& form, MessageBoxService& boxes) {
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  if (!bootFile) return;
  const TIniFile& ini = bootFile->Ini();
  ReadCheckBox(ini, form.CheckBox1, "BootMenu", 0);
  ReadCheckBox(ini, form.CheckBox2, "Bootkeys", 1);
  ReadCheckBox(ini, form.CheckBox3, "BootGUI", 1);
  ReadCheckBox(ini, form.CheckBox4, "Network", 0);
  form.CheckBox5.SetChecked(ini.ReadText("OPTIONS", ";BootFailsafe", "") == "1");
  ReadCheckBox(ini, form.CheckBox6, "BootWarn", 1);
  ReadCheckBox(ini, form.CheckBox7, "BootMulti", 0);
  ReadCheckBox(ini, form.CheckBox8, "DBLSpace", 1);
  ReadCheckBox(ini, form.CheckBox9, "DRVSpace", 1);
  ReadCheckBox(ini, form.CheckBox10, "LoadTop", 1);
  ReadCheckBox(ini, form.CheckBox11, "Logo", 1);
  if (ini.ReadNumber("OPTIONS", ";PROMPT", 1) == 1) {
    form.CheckBox12.SetChecked(true);
    form.CheckBox3.SetChecked(true);
  } else {
    form.CheckBox12.SetChecked(false);
  }
  // A default entry that is not a number is shown only after the later rows are read, so that
  // the window holds what the file holds and a later write stores nothing the user never saw.
  std::optional<Error> unreadable;
  try {
    ReadBootMenuDefault(ini, form.ComboBox1);
  } catch (const Error& error) {
    unreadable = error;
  }
  form.SpinEdit1.SetValue(ini.ReadNumber("OPTIONS", "BootMenuDelay", 30));
  form.SpinEdit2.SetValue(ini.ReadNumber("OPTIONS", "BootDelay", 2));
  form.RadioGroup1.SetItemIndex(ini.ReadNumber("OPTIONS", "Bootwin", 1));
  form.RadioGroup2.SetItemIndex(ini.ReadNumber("Options", "Doublebuffer", 0));
  CloseBootFile(bootFile);
  if (unreadable) throw *unreadable;
}

void WriteBootOptions(FormControls& form, MessageBoxService& boxes) {
  // The host drive box comes before the write set takes drive C's lock: a second instance that
  // starts meanwhile waits for that lock, and would wait without a window while the box is open.
  std::optional<std::string> path = FindBootFile(boxes);
  if (!path) return;
  // Every file of the command is written at its end, or none is.
  platform::WriteSet writes;
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(std::move(*path));
  const TIniFile& ini = bootFile->Ini();
  WriteCheckBox(ini, form.CheckBox1, "BootMenu");
  WriteCheckBox(ini, form.CheckBox2, "BootKeys");
  WriteCheckBox(ini, form.CheckBox3, "BootGUI");
  WriteCheckBox(ini, form.CheckBox4, "Network");
  if (form.CheckBox5.Checked()) {
    ini.WriteNumber("Options", ";BootFailSafe", 1);
  } else {
    ini.WriteText("OPTIONS", ";BootFailSafe", "");
  }
  WriteCheckBox(ini, form.CheckBox6, "BootWarn");
  WriteCheckBox(ini, form.CheckBox7, "BootMulti");
  WriteCheckBox(ini, form.CheckBox8, "DBLSpace");
  WriteCheckBox(ini, form.CheckBox9, "DRVSpace");
  WriteCheckBox(ini, form.CheckBox10, "LoadTop");
  WriteCheckBox(ini, form.CheckBox11, "LOGO", "Logo");
  ini.WriteText("OPTIONS", "BootMenuDefault", IntToStr(form.ComboBox1.ItemIndex() + 1));
  ini.WriteNumber("OPTIONS", "BootMenuDelay", form.SpinEdit1.Value());
  ini.WriteNumber("OPTIONS", "BootDelay", form.SpinEdit2.Value());
  ini.WriteNumber("OPTIONS", "BootWin", form.RadioGroup1.ItemIndex());
  ini.WriteNumber("OPTIONS", "DoubleBuffer", form.RadioGroup2.ItemIndex());
  MaintainStartScripts(form, ini);
  writes.Commit();
  CloseBootFile(bootFile);
}

}  // namespace startgarten
