#pragma once

#include "controls/check_box.h"
#include "controls/combo_box.h"
#include "controls/memo.h"
#include "controls/radio_group.h"
#include "controls/spin_edit.h"
#include "options/option_controls.h"

namespace startgarten {

// The main window's controls that the program reads and changes, under their designer names, in
// their design-time states and with the items of their lists. Not copied: the handlers that the
// interlocks attach act on these very controls.
struct FormControls {
  FormControls() = default;
  FormControls(const FormControls&) = delete;
  FormControls& operator=(const FormControls&) = delete;

  TCheckBox CheckBox1;         // "Boot Menü anzeigen"
  TCheckBox CheckBox2;         // "F-Tasten beim Start beachten"
  TCheckBox CheckBox3;         // "Soll Windows gestartet werden?"
  TCheckBox CheckBox4;         // "Ist ein Netzwerk installiert?"
  TCheckBox CheckBox5;         // "Im abgesicherten Modus starten?"
  TCheckBox CheckBox6;         // "Meldung 'Abgesicherter Modus' anzeigen?"
  TCheckBox CheckBox7;         // "Soll vorherige DOS-Version gestartet werden?"
  TCheckBox CheckBox8;         // "DBLSpace.BIN laden"
  TCheckBox CheckBox9;         // "DRVSpace.BIN laden"
  TCheckBox CheckBox10;        // "Command.Com und DBLSpace/DRVSpace.BIN"
  TCheckBox CheckBox11;        // "Start-Logo anzeigen"
  TCheckBox CheckBox12{true};  // "Nach Windows-Ende DOS-Prompt?"
  TSpinEdit SpinEdit1;         // boot menu seconds
  TSpinEdit SpinEdit2;         // start delay seconds
  // The entries in the order of BootMenuEntry.
  TComboBox ComboBox1{{"Standard", "Protokolliert", "Abgesichert", "Abgesichert, mit Netzwerk",
                       "Einzelbest\xE4tigung", "Eingabeaufforderung",
                       "Abgesichert, nur Eingabeaufforderung", "Vorherige MS-DOS-Version"}};
  TRadioGroup RadioGroup1{{"DOS", "Windows 95"}, kWindows95};
  TRadioGroup RadioGroup2{
      {"Grungs\xE4tzlich keine doppelte Pufferung",
       "Doppelte Pufferung f\xFCr Controller die diese ben\xF6tigen", "Immer doppelte Pufferung"},
      kDoubleBufferingWhereNeeded};
  TMemo Memo1{"Memo1"};

  // The same controls named by the option each holds, for the layers below the window.
  OptionControls Options() {
    return {.bootMenu = CheckBox1,
            .functionKeys = CheckBox2,
            .startWindows = CheckBox3,
            .network = CheckBox4,
            .safeMode = CheckBox5,
            .safeModeWarning = CheckBox6,
            .previousDos = CheckBox7,
            .doubleSpace = CheckBox8,
            .driveSpace = CheckBox9,
            .loadTop = CheckBox10,
            .logo = CheckBox11,
            .dosPromptAfterExit = CheckBox12,
            .bootMenuDefault = ComboBox1,
            .bootMenuDelay = SpinEdit1,
            .bootDelay = SpinEdit2,
            .defaultSystem = RadioGroup1,
            .doubleBuffer = RadioGroup2,
            .batchLines = Memo1};
  }
};

}  // namespace startgarten
