#include "app/command_line.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "app/form1.h"
#include "app/no_display.h"
#include "app/program_messages.h"
#include "platform/drives/drive_locations.h"
#include "platform/system/program_path.h"
#include "platform/windows/cp1252.h"
#include "platform/windows/error.h"

namespace startgarten {

namespace {

// The options of a script; only --set takes an argument, as the next argument or after "=".
constexpr std::string_view kShowOption = "--show";
constexpr std::string_view kStandardOption = "--standard";
constexpr std::string_view kSetOption = "--set";
constexpr std::string_view kDryRunOption = "--dry-run";

struct Option {
  std::string_view name;
  std::string_view shortName;  // empty for none: an argument taken for an option is never empty
  CommandLine::Request request;
};
constexpr std::array<Option, 6> kOptions = {{
    {"--help", "-h", CommandLine::Request::kHelp},
    {"--version", "-V", CommandLine::Request::kVersion},
    {kShowOption, "", CommandLine::Request::kScript},
    {kStandardOption, "", CommandLine::Request::kScript},
    {kSetOption, "", CommandLine::Request::kScript},
    {kDryRunOption, "", CommandLine::Request::kScript},
}};

CommandLine Answer(CommandLine::Request request, std::string error = {}) {
  CommandLine commandLine;
  commandLine.request = request;
  commandLine.error = std::move(error);
  return commandLine;
}

CommandLine UsageError(std::string error) {
  return Answer(CommandLine::Request::kUsageError, std::move(error));
}

CommandLine UsageError(const char* pattern, const std::string& argument) {
  return UsageError(FormatMessageText(pattern, Utf8ToCp1252(argument)));
}

// The option the argument names in full, by its short name or by an unambiguous beginning of
// its long name; none otherwise.
const Option* FindOption(std::string_view argument) {
  const Option* found = nullptr;
  for (const Option& option : kOptions) {
    if (option.name == argument || option.shortName == argument) return &option;
    if (argument.size() > 2 && option.name.starts_with(argument)) {
      if (found) return nullptr;  // ambiguous
      found = &option;
    }
  }
  return found;
}

// Every byte, also a NUL of a file that a dry run shows.
void Print(std::FILE* stream, const std::string& text) {
  const std::string utf8 = Cp1252ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  std::vector<std::string> operands;
  ScriptedRequest script;
  bool scripted = false;
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // Options may stand after operands; a lone "-" is an operand.
    if (optionsEnded || argument.size() < 2 || !argument.starts_with('-')) {
      operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t equals = argument.find('=');
    const Option* option = FindOption(std::string_view(argument).substr(0, equals));
    const bool attached = equals != std::string::npos;
    if (!option || (attached && option->name != kSetOption)) {
      return UsageError(messages::kCommandLineUnknownOption, argument);
    }
    if (option->request != CommandLine::Request::kScript) return Answer(option->request);
    scripted = true;
    if (option->name == kShowOption) {
      script.show = true;
    } else if (option->name == kStandardOption) {
      script.standard = true;
    } else if (option->name == kDryRunOption) {
      script.dryRun = true;
    } else if (!attached && i + 1 == arguments.size()) {
      return UsageError(messages::kCommandLineMissingSetting);
    } else {
      try {
        script.settings.push_back(
            ParseOptionSetting(attached ? argument.substr(equals + 1) : arguments[++i]));
      } catch (const Error& error) {
        return UsageError(error.what());
      }
    }
  }
  const bool changes = script.standard || !script.settings.empty();
  if (script.show && changes) return UsageError(messages::kCommandLineShowAndChange);
  if (script.dryRun && !changes) return UsageError(messages::kCommandLineDryRunAlone);
  if (operands.size() > 1) return UsageError(messages::kCommandLineExtraArgument, operands[1]);
  CommandLine commandLine;
  if (scripted) commandLine.request = CommandLine::Request::kScript;
  if (!operands.empty()) commandLine.drive = operands.front();
  commandLine.script = std::move(script);
  return commandLine;
}

std::optional<int> TakeCommandLine(int argc, const char* const argv[]) {
  const CommandLine commandLine = ParseCommandLine(
      argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>());
  switch (commandLine.request) {
    case CommandLine::Request::kHelp:
      Print(stdout, messages::kCommandLineHelp);
      return 0;
    case CommandLine::Request::kVersion:
      Print(stdout, FormatMessageText(messages::kCommandLineVersion, STARTGARTEN_VERSION));
      return 0;
    case CommandLine::Request::kUsageError:
      Print(stderr, commandLine.error + messages::kCommandLineUsageHint);
      return 2;
    case CommandLine::Request::kRun:
      // Only the window needs a display. Without one named, the program a user starts says so
      // before it hands over to the window's program, which says the same when started directly.
      if (!DisplayNamed()) return ReportNoDisplay(messages::kNoDisplayNamed);
      if (commandLine.drive) platform::ChooseDriveC(*commandLine.drive);
      return std::nullopt;
    case CommandLine::Request::kScript: {
      if (commandLine.drive) platform::ChooseDriveC(*commandLine.drive);
      const ScriptedOutcome outcome = RunScriptedCommand(
          commandLine.script, ApplicationTitleFromPath(platform::RunningProgramPath()));
      Print(stdout, outcome.output);
      Print(stderr, outcome.errors);
      return outcome.exitStatus;
    }
  }
  return std::nullopt;
}

}  // namespace startgarten
