#pragma once

#include <string>
#include <vector>

#include "app/scripted_options.h"

// The window's commands without the window, for scripts: --show reads the boot file and prints
// the options; --standard and --set change them as the user would and write as "OK" does.
namespace startgarten {

struct ScriptedRequest {
  bool show = false;      // print the options as read; nothing else
  bool standard = false;  // "Standardwerte" first
  std::vector<OptionSetting> settings;
  bool dryRun = false;  // print what the write would change instead of writing
};

// What the command printed (code page 1252) and its exit status: 0 when it did all it was asked,
// 1 when the window would have shown an error, 2 when a setting meets a control that the window
// shows disabled.
struct ScriptedOutcome {
  int exitStatus = 0;
  std::string output;  // for standard output: the lines of --show
  std::string errors;  // for standard error: one line for each message
};

// Runs the request on drive C on a window model of its own, whose message boxes print instead of
// asking: it starts as the window does (leftovers of an interrupted write are removed, the boot
// file is read; the shutdown pictures are not loaded), then shows, or makes the changes and runs
// the write command as "OK" after its question does, the read-back included. An error while
// reading, or a setting refused, stops the command before anything is written. A dry run works
// the write out as far as it goes before it puts a file on the drive and prints, for each file it
// would write, its unified diff or messages::kDryRunUnchanged; nothing is written.
ScriptedOutcome RunScriptedCommand(const ScriptedRequest& request,
                                   const std::string& applicationTitle);

}  // namespace startgarten
