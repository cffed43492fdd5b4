#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/scripted_command.h"

// The command line, in the GNU way: startgarten [-h|--help] [-V|--version] [DRIVE], and for
// scripts startgarten --show [DRIVE] or startgarten [--dry-run] [--standard] [--set NAME=VALUE]...
// [DRIVE].
// Long options may be shortened as long as they stay unambiguous; "--" ends the options.
namespace startgarten {

struct CommandLine {
  enum class Request { kRun, kHelp, kVersion, kUsageError, kScript };
  Request request = Request::kRun;
  // For kRun and kScript: the folder or disk image that is drive C for this run, as given.
  std::optional<std::string> drive;
  // For kUsageError: what is wrong (code page 1252, ending in a line break).
  std::string error;
  // For kScript: what the script asks for (--show, --standard, each --set in order, --dry-run).
  ScriptedRequest script;
};

// The arguments after the program's name. The first option decides, before the operands are
// counted, as getopt takes them.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// Answers --help and --version on standard output and a wrong command line on standard error,
// and returns the exit status (0, or 2 for a wrong one). Otherwise makes DRIVE, when given,
// drive C for this run; then runs a script's request without a window, printing what it prints
// in UTF-8, and returns its exit status. For the window, with no display named, says so
// (app/no_display) and returns 1; or returns none: the window may start.
std::optional<int> TakeCommandLine(int argc, const char* const argv[]);

}  // namespace startgarten
