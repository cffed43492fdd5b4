#pragma once

#include "controls/check_box.h"
#include "controls/combo_box.h"
#include "controls/memo.h"
#include "controls/radio_group.h"
#include "controls/spin_edit.h"

namespace startgarten {

// The window's controls that hold the start-up options, named by the option each holds. The
// window owns them under their designer names (app/form_controls.h) and hands them on as this
// view, which is copied as cheaply as a span: reading, writing and the rules between the options
// act on the controls through it.
struct OptionControls {
  TCheckBox& bootMenu;            // the boot menu is shown at every start
  TCheckBox& functionKeys;        // F4, F5 and F8 work while the machine starts
  TCheckBox& startWindows;        // Windows starts after DOS
  TCheckBox& network;             // a network is installed
  TCheckBox& safeMode;            // the next start is in safe mode
  TCheckBox& safeModeWarning;     // the warning that Windows runs in safe mode
  TCheckBox& previousDos;         // the previous DOS version can be started
  TCheckBox& doubleSpace;         // DBLSPACE.BIN is loaded
  TCheckBox& driveSpace;          // DRVSPACE.BIN is loaded
  TCheckBox& loadTop;             // COMMAND.COM and the compression driver at the top of memory
  TCheckBox& logo;                // the start-up logo is shown
  TCheckBox& dosPromptAfterExit;  // the DOS prompt after Windows ends, through start.bat
  TComboBox& bootMenuDefault;     // the boot menu's entries (BootMenuEntry); the selected one
                                  // is its default
  TSpinEdit& bootMenuDelay;       // seconds the boot menu waits for a choice
  TSpinEdit& bootDelay;           // seconds the start waits for a function key
  TRadioGroup& defaultSystem;     // what starts without a choice in the menu (DefaultSystem)
  TRadioGroup& doubleBuffer;      // double buffering for disk controllers (DoubleBuffering)
  TMemo& batchLines;              // the hidden line buffer in which batch files are edited
};

// The entries of the boot menu, in the order of bootMenuDefault's list.
enum BootMenuEntry : int {
  kStandardEntry,
  kLoggedEntry,
  kSafeModeEntry,
  kSafeModeWithNetworkEntry,
  kStepByStepEntry,
  kCommandPromptEntry,
  kSafeModeCommandPromptEntry,
  kPreviousDosEntry,
};

// The items of defaultSystem.
enum DefaultSystem : int { kDos, kWindows95 };

// The items of doubleBuffer.
enum DoubleBuffering : int {
  kNoDoubleBuffering,
  kDoubleBufferingWhereNeeded,
  kDoubleBufferingAlways
};

}  // namespace startgarten
