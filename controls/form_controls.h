#pragma once

#include "controls/check_box.h"
#include "controls/combo_box.h"
#include "controls/memo.h"
#include "controls/radio_group.h"
#include "controls/spin_edit.h"

namespace startgarten {

// The main window's controls that the program reads and changes, under their designer names and
// in their design-time states. Reading, writing and the interlock rules act on these.
struct FormControls {
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
  TComboBox ComboBox1{{"Standard", "Protokolliert", "Abgesichert", "Abgesichert, mit Netzwerk",
                       "Einzelbest\xE4tigung", "Eingabeaufforderung",
                       "Abgesichert, nur Eingabeaufforderung", "Vorherige MS-DOS-Version"}};
  TRadioGroup RadioGroup1{{"DOS", "Windows 95"}, 1};
  TRadioGroup RadioGroup2{
      {"Grungs\xE4tzlich keine doppelte Pufferung",
       "Doppelte Pufferung f\xFCr Controller die diese ben\xF6tigen", "Immer doppelte Pufferung"},
      1};
  TMemo Memo1{"Memo1"};
};

}  // namespace startgarten
