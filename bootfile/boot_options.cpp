#include "bootfile/boot_options.h"

#include <optional>

#include "bootfile/boot_file.h"
#include "bootfile/start_scripts.h"
#include "platform/dos/write_set.h"
#include "platform/windows/error.h"
#include "platform/windows/messages.h"
#include "platform/windows/number_text.h"

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

bool StartsWindows(const TIniFile& ini) {
  return ini.ReadNumber("OPTIONS", "BootGUI", 1) == 1;
}

// The window starts Windows or the previous DOS, not both; a boot file that has both keys on (as
// Windows 95 installed over DOS leaves it: Windows starts, and F4 starts the old DOS instead)
// reads as Windows, without the DOS prompt after it. While the window shows that, the write keeps
// the old DOS on F4: writing what the user left untouched must not change how the machine starts.
bool KeepsPreviousDosBesideWindows(const TIniFile& ini, OptionControls options) {
  return options.startWindows.Checked() && !options.previousDos.Checked() &&
         !options.dosPromptAfterExit.Checked() && StartsWindows(ini) &&
         ini.ReadNumber("OPTIONS", "BootMulti", 0) == 1;
}

// Stages every option from the controls in the open write set, then the DOS-prompt option's
// batch files.
void StageBootOptions(OptionControls options, const TIniFile& ini) {
  const bool keepPreviousDos = KeepsPreviousDosBesideWindows(ini, options);
  WriteCheckBox(ini, options.bootMenu, "BootMenu");
  WriteCheckBox(ini, options.functionKeys, "BootKeys");
  WriteCheckBox(ini, options.startWindows, "BootGUI");
  WriteCheckBox(ini, options.network, "Network");
  if (options.safeMode.Checked()) {
    ini.WriteNumber("Options", ";BootFailSafe", 1);
  } else {
    ini.WriteText("OPTIONS", ";BootFailSafe", "");
  }
  WriteCheckBox(ini, options.safeModeWarning, "BootWarn");
  if (keepPreviousDos) {
    ini.WriteNumber("Options", "BootMulti", 1);
  } else {
    WriteCheckBox(ini, options.previousDos, "BootMulti");
  }
  WriteCheckBox(ini, options.doubleSpace, "DBLSpace");
  WriteCheckBox(ini, options.driveSpace, "DRVSpace");
  WriteCheckBox(ini, options.loadTop, "LoadTop");
  WriteCheckBox(ini, options.logo, "LOGO", "Logo");
  ini.WriteText("OPTIONS", "BootMenuDefault", IntToStr(options.bootMenuDefault.ItemIndex() + 1));
  ini.WriteNumber("OPTIONS", "BootMenuDelay", options.bootMenuDelay.Value());
  ini.WriteNumber("OPTIONS", "BootDelay", options.bootDelay.Value());
  ini.WriteNumber("OPTIONS", "BootWin", options.defaultSystem.ItemIndex());
  ini.WriteNumber("OPTIONS", "DoubleBuffer", options.doubleBuffer.ItemIndex());
  MaintainStartScripts(options.dosPromptAfterExit.Checked(), options.batchLines, ini);
}

}  // namespace

void ReadBootOptions(OptionControls options, MessageBoxService& boxes) {
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(boxes);
  if (!bootFile) return;
  const TIniFile& ini = bootFile->Ini();
  ReadCheckBox(ini, options.bootMenu, "BootMenu", 0);
  ReadCheckBox(ini, options.functionKeys, "Bootkeys", 1);
  ReadCheckBox(ini, options.startWindows, "BootGUI", 1);
  ReadCheckBox(ini, options.network, "Network", 0);
  options.safeMode.SetChecked(ini.ReadText("OPTIONS", ";BootFailsafe", "") == "1");
  ReadCheckBox(ini, options.safeModeWarning, "BootWarn", 1);
  ReadCheckBox(ini, options.previousDos, "BootMulti", 0);
  ReadCheckBox(ini, options.doubleSpace, "DBLSpace", 1);
  ReadCheckBox(ini, options.driveSpace, "DRVSpace", 1);
  ReadCheckBox(ini, options.loadTop, "LoadTop", 1);
  ReadCheckBox(ini, options.logo, "Logo", 1);
  if (ReadPromptMarker(ini) == 1) {
    options.dosPromptAfterExit.SetChecked(true);
    options.startWindows.SetChecked(true);
  } else {
    options.dosPromptAfterExit.SetChecked(false);
    // Windows that starts wins over the previous DOS, which it then only offers on F4
    // (KeepsPreviousDosBesideWindows).
    if (StartsWindows(ini)) options.startWindows.SetChecked(true);
  }
  // A default entry that is not a number is shown only after the later rows are read, so that
  // the window holds what the file holds and a later write stores nothing the user never saw.
  std::optional<Error> unreadable;
  try {
    ReadBootMenuDefault(ini, options.bootMenuDefault);
  } catch (const Error& error) {
    unreadable = error;
  }
  options.bootMenuDelay.SetValue(ini.ReadNumber("OPTIONS", "BootMenuDelay", 30));
  options.bootDelay.SetValue(ini.ReadNumber("OPTIONS", "BootDelay", 2));
  options.defaultSystem.SetItemIndex(ini.ReadNumber("OPTIONS", "Bootwin", 1));
  options.doubleBuffer.SetItemIndex(ini.ReadNumber("Options", "Doublebuffer", 0));
  CloseBootFile(bootFile);
  if (unreadable) throw *unreadable;
}

void WriteBootOptions(OptionControls options, MessageBoxService& boxes) {
  // The host drive box comes before the write set takes drive C's lock: a second instance that
  // starts meanwhile waits for that lock, and would wait without a window while the box is open.
  std::optional<std::string> path = FindBootFile(boxes);
  if (!path) return;
  // Every file of the command is written at its end, or none is.
  platform::WriteSet writes(WriteCommandFiles());
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(std::move(*path));
  StageBootOptions(options, bootFile->Ini());
  writes.Commit();
  CloseBootFile(bootFile);
}

std::vector<platform::StagedChange> PreviewBootOptions(OptionControls options,
                                                       MessageBoxService& boxes) {
  std::optional<std::string> path = FindBootFile(boxes);
  if (!path) return {};
  platform::WriteSet writes(WriteCommandFiles());
  std::unique_ptr<TBootFile> bootFile = OpenBootFile(std::move(*path));
  StageBootOptions(options, bootFile->Ini());
  return writes.StagedChanges();
}

}  // namespace startgarten
